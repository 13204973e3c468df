// Bills of running stations end to end: open bills raise the station's Extras
// at once, print jobs join them, the Delete key takes the Extras back, and the
// session's bill takes the open bill in when the session ends.

#include "running_station_cafe.h"

#include "console/texts.h"

#include <gtest/gtest.h>

namespace console::test {

class StationBillsEndToEnd : public RunningStationCafe {
protected:
    bool stationShowsExtras(const std::string& extras)
    {
        return cafe->runUntil([&] { return cafe->station(1).state().extras == "\x80" + extras; });
    }
};

TEST_F(StationBillsEndToEnd, ItemsOnAStationsOpenBillRaiseItsExtrasAtOnce)
{
    rig.select({1});
    console().onBillPressed();
    ConsoleView v = view();
    EXPECT_EQ(v.bill.caption.text, "Open Bill: Comp#: 2");
    EXPECT_EQ(v.bill.selector.entries, std::vector<std::string>{"Open Bill: Comp#: 2"});
    EXPECT_TRUE(v.bill.itemPanelButton.visible);
    EXPECT_EQ(v.bill.itemPanelButton.caption, "Stop PC#2");
    EXPECT_TRUE(v.bill.alarm.visible);

    panel().onItemPressed(0);
    EXPECT_EQ(rig.text(1, Column::Extras), "1.50");
    panel().setQuantityText("3");
    console().onEnter();
    EXPECT_EQ(rig.text(1, Column::Extras), "4.50") << "1.50 when added, 3.00 more for the quantity";
    EXPECT_EQ(rig.text(1, Column::Total), "6.00");
    EXPECT_EQ(view().bill.list.rows.at(0), (store::BillItem{"", "Coffee x 3", "4.50"}));
    EXPECT_TRUE(stationShowsExtras("4.50"));
    EXPECT_TRUE(console().stationState(1).holds.has(Hold::OpenBill));

    rig.price.keys = "325";
    panel().onItemPressed(1);
    console().onEnter();
    EXPECT_EQ(rig.text(1, Column::Extras), "7.75");

    // A print job from the station joins its open bill.
    rig.printMonitor.queued = {{"Laser", "PC2", "map.png", 5}};
    rig.tickAfter(1s);
    v = view();
    ASSERT_EQ(v.bill.list.rows.size(), 3u);
    EXPECT_EQ(v.bill.list.rows[2], (store::BillItem{"2", "Pages (5): map.png", "0.50"}));
    EXPECT_EQ(rig.text(1, Column::Extras), "8.25");
    EXPECT_EQ(v.bill.totalDisplay.text, "8.25");

    // The Delete key takes the Extras back to the bill's new total.
    panel().setBillListSelection({0});
    panel().onDeleteKey();
    EXPECT_EQ(rig.text(1, Column::Extras), "3.75");
    EXPECT_TRUE(stationShowsExtras("3.75"));

    // The session ends: its bill takes the open bill's lines.
    cafe->station(1).endSession();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));
    v = view();
    EXPECT_EQ(v.bill.selector.entries, std::vector<std::string>{"Comp#: 2"});
    EXPECT_EQ(v.bill.caption.text, "Comp#: 2");
    ASSERT_EQ(v.bill.list.rows.size(), 3u);
    EXPECT_EQ(v.bill.list.rows[0].description, "00 hrs 01 mins 02 secs");
    EXPECT_EQ(v.bill.list.rows[1], (store::BillItem{"", "Sandwich", "3.25"}));
    EXPECT_EQ(v.bill.list.rows[2].description, "Pages (5): map.png");
    EXPECT_EQ(v.bill.totalDisplay.text, "5.25");
    EXPECT_FALSE(console().stationState(1).holds.has(Hold::OpenBill));
    EXPECT_EQ(rig.text(1, Column::Extras), "0.00");
}

TEST_F(StationBillsEndToEnd, StopPcStopsTheStationWhoseBillIsShown)
{
    rig.select({1});
    console().onBillPressed();
    panel().onItemPressed(0);
    console().onEnter();
    panel().onItemPanelButton(); // "Stop PC#2"
    EXPECT_EQ(view().focusRequest.control, FocusTarget::Control::TenderField);
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));
    EXPECT_TRUE(cafe->station(1).locked());
    EXPECT_EQ(view().bill.caption.text, "Comp#: 2");
    EXPECT_EQ(view().bill.list.rows.size(), 2u);
    EXPECT_TRUE(hasEvent(log(), "STOP PC,1"));
}

// Enter belongs to the tender field when a session bill takes the panel from
// the item panel, even after another station's event made Bill the default.
TEST_F(StationBillsEndToEnd, ASessionBillShownOverTheItemPanelLeavesEnterToTheTender)
{
    rig.select({0});
    console().onStartPressed();
    rig.select({1});
    console().onBillPressed();
    ASSERT_EQ(view().focusRequest.control, FocusTarget::Control::ItemButton);
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStarted; }));
    ASSERT_EQ(view().defaultButton, DefaultButton::Bill);

    cafe->station(1).endSession();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));
    EXPECT_EQ(view().bill.caption.text, "Comp#: 2");
    EXPECT_FALSE(view().bill.itemRows[0].wide.visible);
    EXPECT_EQ(view().focusRequest.control, FocusTarget::Control::TenderField);
    EXPECT_EQ(view().defaultButton, DefaultButton::None);
    console().onEnter();
    EXPECT_EQ(view().bill.dueLabel.text, "DUE:");
    EXPECT_EQ(view().bill.caption.text, "Comp#: 2");
}

TEST_F(StationBillsEndToEnd, EnterDoesNotChargeTheNextBillWhileItsItemPanelIsOpen)
{
    rig.printMonitor.queued = {{"Laser", "PC2", "a.pdf", 2}};
    rig.tickAfter(1s);
    rig.select({});
    console().onBillPressed();
    panel().onItemPressed(0);
    console().onEnter();
    panel().onItemPanelButton(); // "Tender"
    fields::MoneyField& tender = panel().tenderField();
    tender.focusIn();
    for (char c : std::string("200"))
        tender.typeChar(c);
    console().onEnter();
    ASSERT_EQ(view().defaultButton, DefaultButton::Charge);
    console().onEnter();
    ASSERT_EQ(readJournal(folder.path()).size(), 1u);

    // The station's open bill is shown next, with its item panel: CHARGE is hidden.
    EXPECT_EQ(view().bill.caption.text, "Open Bill: Comp#: 2");
    EXPECT_FALSE(view().bill.charge.visible);
    console().onEnter();
    EXPECT_EQ(readJournal(folder.path()).size(), 1u);
    EXPECT_EQ(panel().openBills().size(), 1u);
}

TEST_F(StationBillsEndToEnd, DeletingAWholeOpenBillClearsTheStationsExtras)
{
    rig.select({1});
    console().onBillPressed();
    panel().onItemPressed(0);
    console().onEnter();
    panel().setBillListSelection({0});
    panel().onDeleteKey();
    EXPECT_TRUE(hasEvent(log(), "DELETED BILL,Open Bill: Comp#: 2"));
    EXPECT_FALSE(console().stationState(1).holds.has(Hold::OpenBill));
    EXPECT_EQ(rig.text(1, Column::Extras), "0.00");
    EXPECT_EQ(rig.text(1, Column::Total), "1.50");
    EXPECT_FALSE(view().bill.title.visible);
}

// The station is gone, so Stop PC only turns the panel to tendering; the open
// bill is paid while the session is still held.
TEST_F(StationBillsEndToEnd, PayingAStationsOpenBillTakesItOutOfItsExtras)
{
    rig.select({1});
    console().onBillPressed();
    panel().onItemPressed(0);
    console().onEnter();
    ASSERT_EQ(rig.text(1, Column::Extras), "1.50");
    cafe->station(1).vanish();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusDisconnected; }));
    panel().onItemPanelButton(); // "Stop PC#2"
    ASSERT_TRUE(view().bill.charge.visible);
    EXPECT_TRUE(panel().chargeBill());
    EXPECT_EQ(rig.text(1, Column::Extras), "0.00");
    EXPECT_EQ(rig.text(1, Column::Total), "1.50");
    EXPECT_FALSE(console().stationState(1).holds.has(Hold::OpenBill));

    // Stopping the held session bills the time alone.
    rig.select({1});
    console().onStopPressed();
    ASSERT_EQ(panel().openBills().size(), 1u);
    EXPECT_EQ(view().bill.list.rows.size(), 1u);
    EXPECT_EQ(view().bill.totalDisplay.text, "1.50");
}

TEST_F(StationBillsEndToEnd, TenderChangeAndChargeOfASessionBill)
{
    rig.select({1});
    console().onStopPressed();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));
    EXPECT_EQ(view().bill.totalDisplay.text, "1.50");
    EXPECT_EQ(view().bill.itemPanelButton.caption, "Add Items");

    fields::MoneyField& tender = panel().tenderField();
    tender.focusIn();
    for (char c : std::string("1000"))
        tender.typeChar(c);
    console().onEnter();
    EXPECT_EQ(view().bill.dueLabel.text, "CHANGE:");
    EXPECT_EQ(view().bill.dueAmount.text, "8.50");
    console().onEnter();
    EXPECT_TRUE(panel().openBills().empty());
    const auto journal = readJournal(folder.path());
    ASSERT_EQ(journal.size(), 1u);
    ASSERT_EQ(journal[0].lines.size(), 1u);
    EXPECT_EQ(journal[0].lines[0], (store::BillItem{"2", "00 hrs 01 mins 01 secs", "1.50"}));
    EXPECT_TRUE(hasEvent(log(), "CHARGE,1.50"));
}

TEST_F(StationBillsEndToEnd, PrintJobsOfARunningStationOpenItsBill)
{
    rig.printMonitor.queued = {{"Laser", "PC2", "a.pdf", 2}, {"Laser", "PC1", "b.pdf", 1}};
    rig.tickAfter(1s);
    EXPECT_EQ(panel().selectorEntries(), (std::vector<std::string>{"Open Bill: Comp#: 2", "Comp#: 1"}));
    EXPECT_TRUE(console().stationState(1).holds.has(Hold::OpenBill));
    EXPECT_EQ(rig.text(1, Column::Extras), "0.20");
    EXPECT_EQ(rig.text(0, Column::Extras), "0.00");
    EXPECT_TRUE(view().bill.selector.visible);
}

TEST_F(StationBillsEndToEnd, APrintJobJoinsTheStationsOpenBillStillWithoutLines)
{
    rig.select({1});
    console().onBillPressed();
    rig.printMonitor.queued = {{"Laser", "PC2", "a.pdf", 2}};
    rig.tickAfter(1s);
    EXPECT_EQ(panel().selectorEntries(), std::vector<std::string>{"Open Bill: Comp#: 2"});
    EXPECT_EQ(panel().currentIndex(), 0);
    EXPECT_FALSE(view().bill.selector.visible);
    EXPECT_EQ(view().bill.list.rows.size(), 1u);

    panel().onItemPressed(0);
    console().onEnter();
    EXPECT_EQ(panel().selectorEntries(), std::vector<std::string>{"Open Bill: Comp#: 2"});
    ASSERT_EQ(view().bill.list.rows.size(), 2u);
    EXPECT_EQ(view().bill.totalDisplay.text, "1.70");
    EXPECT_EQ(rig.text(1, Column::Extras), "1.70");
}

} // namespace console::test
