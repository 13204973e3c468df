// Where the engine meets the window: Enter and the default button, the focus
// the engine asks for against the focus the window reports, the quantity
// field's selected "1", and the alarm selector shown again or refilled.

#include "three_station_cafe.h"

#include "console/texts.h"

#include <gtest/gtest.h>

namespace console::test {

using Control = FocusTarget::Control;

class WindowEdges : public ThreeStationCafe {
protected:
    void writeTables() override { writeSaleItems(folder.path(), {{"Coffee", 1.50, true}, {"Water", 0.80, true}}); }

    // The station's open bill with one Coffee on it.
    void openBillWithCoffee(int i)
    {
        rig.select({i});
        console().onBillPressed();
        panel().onItemPressed(0);
        console().onEnter();
    }

    void typeTender(const std::string& keys)
    {
        console().onFocusChanged({Control::TenderField, 0});
        fields::MoneyField& tender = panel().tenderField();
        tender.setValue(0.0, 2);
        tender.focusIn();
        for (char c : keys)
            tender.typeChar(c);
    }
};

TEST_F(WindowEdges, EnterPressesStartOnlyWhileStartIsEnabled)
{
    rig.select({0});
    ASSERT_EQ(view().defaultButton, DefaultButton::Start);

    // The table loses the focus to a button of the window: Start is disabled,
    // and so is Enter's way to it.
    console().onStationTableFocus(false);
    console().onFocusChanged({Control::None, 0});
    EXPECT_FALSE(view().buttons.start.enabled);
    EXPECT_EQ(view().defaultButton, DefaultButton::None);
    console().onEnter();
    EXPECT_EQ(rig.status(0), kStatusStopped);
    EXPECT_FALSE(hasEvent(log(), "STARTING,0"));

    // Back in the table, Start is enabled and Enter starts.
    console().onStationTableFocus(true);
    EXPECT_EQ(view().defaultButton, DefaultButton::Start);
    console().onEnter();
    EXPECT_EQ(rig.status(0), kStatusStarting);
}

TEST_F(WindowEdges, EnterFallsThroughADisabledBillButtonToTheOkAction)
{
    rig.select({});
    ASSERT_EQ(view().defaultButton, DefaultButton::Bill);
    console().onBillPressed(); // a walk-in bill: Bill is disabled while it is entered
    console().onFocusChanged(view().focusRequest);
    ASSERT_FALSE(view().buttons.bill.enabled);
    EXPECT_EQ(view().defaultButton, DefaultButton::None);

    const unsigned serial = view().focusRequestSerial;
    console().onEnter(); // on the item button: the OK action has nothing to do
    EXPECT_EQ(view().focusRequestSerial, serial) << "Bill was not pressed again";
    EXPECT_EQ(panel().selectorEntries(), std::vector<std::string>{"Open Bill"});
}

// The window hands Enter in the tender field to the engine only; each Enter is
// one tender check and at most one beep, whatever button was the default.
TEST_F(WindowEdges, OneEnterInTheTenderFieldIsOneCheckAndAtMostOneBeep)
{
    startStation(1);
    rig.tickAfter(61s);
    rig.select({1});
    console().onStopPressed();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));
    ASSERT_EQ(view().bill.totalDisplay.text, "1.50");

    typeTender("100");
    console().onEnter();
    EXPECT_EQ(rig.beeper.beeps, 1);
    EXPECT_EQ(view().bill.dueLabel.text, "DUE:");
    EXPECT_EQ(view().bill.dueAmount.text, "0.50");
    console().onEnter();
    EXPECT_EQ(rig.beeper.beeps, 2) << "one beep per Enter";

    typeTender("200");
    console().onEnter();
    EXPECT_EQ(rig.beeper.beeps, 2);
    EXPECT_EQ(view().bill.dueLabel.text, "CHANGE:");
    EXPECT_EQ(view().focusRequest.control, Control::ChargeButton);
    EXPECT_EQ(view().defaultButton, DefaultButton::Charge);

    // The operator goes back into the tender field before the focus reached
    // CHARGE: Enter there checks again and charges nothing.
    typeTender("50");
    console().onEnter();
    EXPECT_EQ(rig.beeper.beeps, 3);
    EXPECT_EQ(view().bill.dueAmount.text, "1.00");
    EXPECT_TRUE(readJournal(folder.path()).empty());
    EXPECT_EQ(panel().openBills().size(), 1u);
}

// The tender was checked and the focus went to CHARGE; another station's event
// arrives before Enter: Enter still charges.
TEST_F(WindowEdges, AStationEventLeavesEnterOnChargeOnceTheTenderWasChecked)
{
    startStation(0);
    startStation(1);
    rig.tickAfter(61s);
    cafe->station(1).endSession();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));
    typeTender("200");
    console().onEnter();
    console().onFocusChanged(view().focusRequest);
    ASSERT_EQ(view().focus.control, Control::ChargeButton);

    cafe->station(0).endSession();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStopped; }));
    EXPECT_EQ(view().defaultButton, DefaultButton::Charge);
    console().onEnter();
    ASSERT_EQ(readJournal(folder.path()).size(), 1u);
    EXPECT_EQ(readJournal(folder.path())[0].lines.at(0).stationText, "2");
    EXPECT_EQ(rig.status(1), kStatusStopped) << "Enter did not press Start on the selected row";
}

TEST_F(WindowEdges, TheFocusAskedForIsToldApartFromTheFocusReported)
{
    const ConsoleView before = view();
    EXPECT_EQ(before.focus.control, Control::StationTable);

    console().onBillPressed();
    ConsoleView v = view();
    EXPECT_EQ(v.focusRequest, (FocusTarget{Control::ItemButton, 0}));
    EXPECT_GT(v.focusRequestSerial, before.focusRequestSerial);
    EXPECT_EQ(v.focus.control, Control::StationTable) << "only the window says where the focus is";

    console().onFocusChanged(v.focusRequest);
    const unsigned afterBill = view().focusRequestSerial;
    EXPECT_EQ(view().focus, (FocusTarget{Control::ItemButton, 0}));

    // Adding an item asks for its quantity field; the field opens with "1"
    // selected and clears the default button at once, before the window answers.
    panel().onItemPressed(1);
    v = view();
    EXPECT_EQ(v.focusRequest, (FocusTarget{Control::QuantityField, 1}));
    EXPECT_EQ(v.focusRequestSerial, afterBill + 1);
    EXPECT_EQ(v.defaultButton, DefaultButton::None);
    EXPECT_EQ(v.focus.control, Control::ItemButton);
    EXPECT_TRUE(v.bill.itemRows[1].quantity.visible);
    EXPECT_EQ(v.bill.itemRows[1].quantity.text, "1");
    EXPECT_TRUE(v.bill.itemRows[1].quantity.textSelected);
    EXPECT_FALSE(v.bill.itemRows[0].quantity.textSelected);

    // Typing replaces the selection: the selection is over.
    console().onFocusChanged(v.focusRequest);
    panel().setQuantityText("2");
    EXPECT_FALSE(view().bill.itemRows[1].quantity.textSelected);
    EXPECT_EQ(view().bill.itemRows[1].quantity.text, "2");
    console().onEnter();
    EXPECT_EQ(view().bill.list.rows.at(0), (store::BillItem{"", "Water x 2", "1.60"}));
    EXPECT_EQ(view().focusRequest, (FocusTarget{Control::BillList, 0}));

    // A focus report alone moves no request.
    const unsigned serial = view().focusRequestSerial;
    console().onFocusChanged({Control::BillList, 0});
    EXPECT_EQ(view().focusRequestSerial, serial);
    EXPECT_EQ(view().focus.control, Control::BillList);
}

TEST_F(WindowEdges, ASessionBillSendingTheFocusToTheTenderClearsTheDefaultAtOnce)
{
    startStation(0);
    startStation(1);
    rig.tickAfter(61s);
    rig.select({0});
    ASSERT_EQ(view().defaultButton, DefaultButton::Bill);
    cafe->station(1).endSession();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));
    EXPECT_EQ(view().focusRequest.control, Control::TenderField);
    EXPECT_EQ(view().focus.control, Control::StationTable) << "not answered yet";
    EXPECT_EQ(view().defaultButton, DefaultButton::None);

    // Another station's event before the window moved the focus leaves Enter to the tender.
    cafe->station(0).endSession();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStopped; }));
    EXPECT_EQ(view().defaultButton, DefaultButton::None);
    const std::size_t bills = panel().openBills().size();
    console().onEnter();
    EXPECT_EQ(view().bill.dueLabel.text, "DUE:");
    EXPECT_EQ(view().bill.dueAmount.text, "1.50");
    EXPECT_EQ(rig.beeper.beeps, 1);
    EXPECT_EQ(panel().openBills().size(), bills) << "nothing charged, no bill opened";
}

TEST_F(WindowEdges, TheAlarmSelectorShownAgainChangesNoAlarm)
{
    startStation(0);
    startStation(1);
    openBillWithCoffee(0);
    console().onAlarmSelected(1); // "00:10" for station 1
    ASSERT_EQ(console().stationState(0).alarmChoice, 1);
    openBillWithCoffee(1);
    ASSERT_EQ(panel().selectorEntries(), (std::vector<std::string>{"Open Bill: Comp#: 1", "Open Bill: Comp#: 2"}));

    // The window refills and shows the selector after every change; what it
    // shows handed back is no choice.
    for (int pass = 0; pass < 3; ++pass) {
        for (int entry : {0, 1}) {
            panel().onSelectorChanged(entry);
            const ConsoleView v = view();
            ASSERT_TRUE(v.bill.alarm.visible);
            EXPECT_EQ(v.bill.alarm.current, entry == 0 ? 1 : 0);
            console().onAlarmSelected(v.bill.alarm.current);
        }
    }
    EXPECT_EQ(console().stationState(0).alarmChoice, 1);
    EXPECT_EQ(console().stationState(0).alarmTime, noonOfTestDay() + 600);
    EXPECT_EQ(console().stationState(1).alarmChoice, 0);

    // With the panel closed there is no selector to choose from.
    panel().onSelectorChanged(0);
    ASSERT_TRUE(panel().chargeBill());
    ASSERT_TRUE(panel().chargeBill());
    ASSERT_FALSE(view().bill.alarm.visible);
    console().onAlarmSelected(0);
    EXPECT_EQ(console().stationState(0).alarmChoice, 1);

    // The alarm is still armed and counted: it fires on time.
    rig.tickAfter(600s);
    EXPECT_TRUE(hasEvent(log(), "ALARM STOPPING,0"));
    EXPECT_FALSE(hasEvent(log(), "ALARM STOPPING,1"));
}

} // namespace console::test
