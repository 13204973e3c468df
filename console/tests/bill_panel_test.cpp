// The bill panel without stations: walk-in bills, sale items, quantities,
// tender and charge, receipts, the Delete key and print jobs for idle stations.

#include "console_rig.h"

#include "console/texts.h"
#include "platform/shared_file.h"
#include "store/open_state_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace console::test {

class BillPanelTest : public ::testing::Test {
protected:
    TempFolder folder;
    ConsoleRig rig{folder.path(), noonOfTestDay()};

    void SetUp() override
    {
        writeClients(folder.path(), {{"PC1", stationAddress(0)}, {"Front-Desk", stationAddress(1)}});
        writeSaleItems(folder.path(), {{"Coffee", 1.50, true},
                                       {"Tea & Cake", 0.0, false},
                                       {"Water", 0.80, true},
                                       {"Crisps", 1.10, true},
                                       {"Scan", 0.25, true},
                                       {"Burn CD", 2.00, true},
                                       {"Fax", 1.00, true}});
        writePrinters(folder.path(), {{"SERVER", "Laser", 0.10}});
        rig.startConsole();
    }

    ConsoleEngine& console() { return rig.console(); }
    BillPanel& panel() { return console().billPanel(); }
    ConsoleView view() { return console().view(); }
    std::vector<std::string> log() { return logEvents(folder.path()); }

    void typeTender(const std::string& keys)
    {
        console().onFocusChanged({FocusTarget::Control::TenderField, 0});
        fields::MoneyField& tender = panel().tenderField();
        tender.setValue(0.0, 2);
        tender.focusIn();
        for (char c : keys)
            tender.typeChar(c);
    }

    // A walk-in bill with the given items (page rows), each once.
    void walkInBill(const std::vector<int>& rows)
    {
        console().onBillPressed();
        for (int row : rows) {
            panel().onItemPressed(row);
            console().onEnter(); // quantity 1
        }
    }
};

TEST_F(BillPanelTest, TheBillButtonOpensAWalkInBillWithTheItemPanel)
{
    console().onBillPressed();
    const ConsoleView v = view();
    EXPECT_TRUE(v.bill.title.visible);
    EXPECT_EQ(v.bill.caption.text, "Open Bill");
    EXPECT_EQ(v.bill.selector.entries, std::vector<std::string>{"Open Bill"});
    EXPECT_FALSE(v.bill.selector.visible);
    EXPECT_EQ(v.bill.totalDisplay.text, "0.00");
    EXPECT_FALSE(v.bill.itemPanelButton.visible) << "hidden while the walk-in bill has no line";
    EXPECT_FALSE(v.buttons.bill.enabled);
    EXPECT_FALSE(v.bill.charge.visible);
    EXPECT_FALSE(v.bill.tenderField.visible);
    EXPECT_TRUE(v.bill.list.visible);
    EXPECT_FALSE(v.bill.list.enabled);
    // First page: five items, "Next " but no " Previous".
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(v.bill.itemRows[k].wide.visible) << k;
    EXPECT_EQ(v.bill.itemRows[1].wide.caption, "Tea && Cake");
    EXPECT_TRUE(v.bill.next.visible);
    EXPECT_FALSE(v.bill.previous.visible);
    EXPECT_EQ(v.focusRequest, (FocusTarget{FocusTarget::Control::ItemButton, 0}));
    EXPECT_TRUE(panel().walkInBeingEntered());
}

TEST_F(BillPanelTest, ItemsPagesAndQuantities)
{
    console().onBillPressed();
    panel().onItemPressed(0);
    ConsoleView v = view();
    EXPECT_EQ(v.bill.selector.entries, std::vector<std::string>{"Open Bill"});
    ASSERT_EQ(v.bill.list.rows.size(), 1u);
    EXPECT_EQ(v.bill.list.rows[0], (store::BillItem{"", "Coffee", "1.50"}));
    EXPECT_TRUE(v.bill.itemPanelButton.visible);
    EXPECT_EQ(v.bill.itemPanelButton.caption, "Tender");
    EXPECT_TRUE(v.buttons.bill.enabled);
    EXPECT_FALSE(v.bill.itemRows[0].wide.visible);
    EXPECT_TRUE(v.bill.itemRows[0].narrow.visible);
    EXPECT_EQ(v.bill.itemRows[0].quantity.text, "1");
    EXPECT_EQ(v.focusRequest, (FocusTarget{FocusTarget::Control::QuantityField, 0}));
    EXPECT_EQ(v.defaultButton, DefaultButton::None);
    EXPECT_TRUE(hasEvent(log(), "ADD ITEM,Coffee,1.50"));

    panel().setQuantityText("3");
    console().onEnter();
    v = view();
    EXPECT_EQ(v.bill.list.rows[0], (store::BillItem{"", "Coffee x 3", "4.50"}));
    EXPECT_EQ(v.bill.totalDisplay.text, "4.50");
    EXPECT_TRUE(v.bill.itemRows[0].wide.visible);
    EXPECT_FALSE(v.bill.itemRows[0].quantity.visible);
    EXPECT_EQ(v.focusRequest, (FocusTarget{FocusTarget::Control::BillList, 0})) << "where Enter adds nothing";

    // A quantity of 1 (or nonsense) leaves the line as it is.
    panel().onItemPressed(2);
    panel().setQuantityText("x");
    console().onEnter();
    EXPECT_EQ(view().bill.list.rows[1], (store::BillItem{"", "Water", "0.80"}));

    panel().onNextPage();
    v = view();
    EXPECT_TRUE(v.bill.itemRows[0].wide.visible);
    EXPECT_EQ(v.bill.itemRows[0].wide.caption, "Burn CD");
    EXPECT_TRUE(v.bill.itemRows[1].wide.visible);
    EXPECT_FALSE(v.bill.itemRows[2].wide.visible);
    EXPECT_TRUE(v.bill.previous.visible);
    EXPECT_FALSE(v.bill.next.visible);
    panel().onItemPressed(1);
    console().onEnter();
    EXPECT_EQ(view().bill.list.rows[2].description, "Fax");
    panel().onPreviousPage();
    EXPECT_EQ(panel().pageStart(), 0);
}

TEST_F(BillPanelTest, AVaryingPriceIsAskedFor)
{
    rig.price.keys = "250";
    console().onBillPressed();
    panel().onItemPressed(1);
    ASSERT_EQ(rig.price.questions.size(), 1u);
    EXPECT_EQ(rig.price.questions[0], "Enter price for item:\"Tea && Cake\"");
    EXPECT_EQ(view().bill.list.rows[0], (store::BillItem{"", "Tea & Cake", "2.50"}));
    EXPECT_TRUE(hasEvent(log(), "ADD ITEM,Tea & Cake,2.50"));

    // Closed without typing: priced 0.00.
    rig.price.keys.clear();
    console().onEnter();
    panel().onItemPressed(1);
    EXPECT_EQ(view().bill.list.rows[1].priceText, "0.00");
}

TEST_F(BillPanelTest, TenderShowsDueOrChangeAndChargeJournalsTheBill)
{
    walkInBill({0, 2});                        // 1.50 + 0.80
    console().billPanel().onItemPanelButton(); // "Tender": back to tendering
    ConsoleView v = view();
    EXPECT_TRUE(v.bill.charge.visible);
    EXPECT_TRUE(v.bill.tenderField.visible);
    EXPECT_EQ(v.bill.itemPanelButton.caption, "Add Items");
    EXPECT_EQ(v.focusRequest.control, FocusTarget::Control::TenderField);

    typeTender("200");
    console().onEnter();
    v = view();
    EXPECT_EQ(rig.beeper.beeps, 1);
    EXPECT_EQ(v.bill.dueLabel.text, "DUE:");
    EXPECT_EQ(v.bill.dueAmount.text, "0.30");
    EXPECT_TRUE(v.bill.dueAmount.visible);
    EXPECT_EQ(v.focus.control, FocusTarget::Control::TenderField);

    typeTender("500");
    console().onEnter();
    v = view();
    EXPECT_EQ(v.bill.dueLabel.text, "CHANGE:");
    EXPECT_EQ(v.bill.dueAmount.text, "2.70");
    EXPECT_EQ(v.focusRequest.control, FocusTarget::Control::ChargeButton);
    EXPECT_EQ(v.defaultButton, DefaultButton::Charge);

    console().onEnter(); // presses CHARGE
    v = view();
    EXPECT_FALSE(v.bill.title.visible) << "the last bill charged hides the panel";
    EXPECT_FALSE(v.bill.dueAmount.visible);
    EXPECT_TRUE(v.buttons.bill.enabled);
    EXPECT_EQ(panel().tenderField().text(), "0.00");
    EXPECT_TRUE(panel().openBills().empty());
    EXPECT_TRUE(hasEvent(log(), "CHARGE,2.30"));

    // CHARGE stays the default button, but with no bill left Enter charges nothing.
    console().onEnter();
    const std::vector<std::string> events = log();
    EXPECT_EQ(std::count(events.begin(), events.end(), "CHARGE,2.30"), 1);
    EXPECT_FALSE(panel().chargeBill());

    const auto journal = readJournal(folder.path());
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0].stamp, static_cast<std::int32_t>(noonOfTestDay()));
    ASSERT_EQ(journal[0].lines.size(), 2u);
    EXPECT_EQ(journal[0].lines[0], (store::BillItem{"0", "Coffee", "1.50"}));
    EXPECT_EQ(journal[0].lines[1], (store::BillItem{"0", "Water", "0.80"}));
}

TEST_F(BillPanelTest, ChargingOneOfTwoBillsShowsTheFirstOfTheRest)
{
    walkInBill({0});
    console().onBillPressed();
    EXPECT_TRUE(view().bill.selector.visible);
    EXPECT_EQ(view().bill.selector.entries, (std::vector<std::string>{"Open Bill", "Open Bill"}));
    panel().onItemPressed(3);
    console().onEnter();
    EXPECT_EQ(view().bill.selector.current, 1);
    panel().chargeBill();
    const ConsoleView v = view();
    EXPECT_FALSE(v.bill.selector.visible);
    EXPECT_EQ(v.bill.selector.current, 0);
    EXPECT_EQ(v.bill.list.rows.at(0).description, "Coffee");
    EXPECT_TRUE(v.bill.title.visible);
}

TEST_F(BillPanelTest, AnEmptyWalkInBillLeftForAnotherDisappears)
{
    walkInBill({0});
    console().onBillPressed();
    ASSERT_EQ(view().bill.selector.entries.size(), 2u);
    panel().onSelectorChanged(0);
    const ConsoleView v = view();
    EXPECT_EQ(v.bill.selector.entries, std::vector<std::string>{"Open Bill"});
    EXPECT_FALSE(v.bill.selector.visible);
    EXPECT_EQ(v.bill.list.rows.size(), 1u);
    EXPECT_FALSE(panel().walkInBeingEntered());
}

TEST_F(BillPanelTest, AReceiptWithAnEmptyTenderShowsTheTotalAsTendered)
{
    walkInBill({0, 2});
    panel().onItemPanelButton();
    panel().tenderField().setText("");
    panel().printReceipt();
    ASSERT_EQ(rig.printer.printed.size(), 1u);
    const ReceiptLayout& layout = rig.printer.printed[0];
    std::vector<std::string> texts;
    for (const ReceiptElement& e : layout.elements)
        if (auto* t = std::get_if<ReceiptText>(&e))
            texts.push_back(t->text);
    const std::vector<std::string> tail(texts.end() - 6, texts.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Total:", "2.30", "Tendered:", "2.30", "Change:", "0.00"}));
    EXPECT_TRUE(hasEvent(log(), "CHARGE,2.30"));
    EXPECT_EQ(readJournal(folder.path()).size(), 1u);
}

TEST_F(BillPanelTest, ACancelledPrintDialogChargesNothing)
{
    walkInBill({0});
    rig.printer.page.reset();
    panel().printReceipt();
    EXPECT_TRUE(rig.printer.printed.empty());
    EXPECT_EQ(panel().openBills().size(), 1u);
    EXPECT_TRUE(readJournal(folder.path()).empty());
}

TEST_F(BillPanelTest, DeleteKeyRemovesLinesThenTheWholeBill)
{
    walkInBill({0, 2, 3});
    walkInBill({4});
    panel().onSelectorChanged(0);
    panel().setBillListSelection({0, 2});
    panel().onDeleteKey();
    ConsoleView v = view();
    ASSERT_EQ(v.bill.list.rows.size(), 1u);
    EXPECT_EQ(v.bill.list.rows[0].description, "Water");
    EXPECT_EQ(v.bill.totalDisplay.text, "0.80");
    EXPECT_EQ(panel().openBills()[0].items.size(), 1u);
    EXPECT_TRUE(hasEvent(log(), "DELETE,Crisps,1.10"));
    EXPECT_TRUE(hasEvent(log(), "DELETE,Coffee,1.50"));

    panel().setBillListSelection({0});
    panel().onDeleteKey();
    v = view();
    EXPECT_TRUE(hasEvent(log(), "DELETED BILL,Open Bill"));
    EXPECT_EQ(v.bill.selector.entries, std::vector<std::string>{"Open Bill"});
    EXPECT_EQ(v.bill.list.rows.at(0).description, "Scan");

    panel().setBillListSelection({0});
    panel().onDeleteKey();
    v = view();
    EXPECT_FALSE(v.bill.title.visible);
    EXPECT_TRUE(panel().openBills().empty());
    EXPECT_EQ(panel().currentIndex(), -1);
    // Nothing selected: nothing happens.
    panel().onDeleteKey();
    EXPECT_TRUE(readJournal(folder.path()).empty()) << "deleting never touches the journal";
}

TEST_F(BillPanelTest, PrintJobsOfIdleStationsGoToTheirOwnBill)
{
    rig.printMonitor.queued = {{"Laser", "\\\\FRONT-DESK", "report.pdf", 3},
                               {"Laser", "Unknown-PC", "x", 1},
                               {"Inkjet", "PC1", "y", 1},
                               {"Laser", "front-desk", "notes", 2}};
    rig.tickAfter(1s);
    ASSERT_EQ(panel().openBills().size(), 1u);
    const ConsoleView v = view();
    EXPECT_EQ(v.bill.selector.entries, std::vector<std::string>{"Comp#: 2"});
    EXPECT_TRUE(v.bill.selector.visible) << "the panel is closed: the selector leads to the bill";
    EXPECT_FALSE(v.bill.title.visible);
    const auto& items = panel().openBills()[0].items;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], (store::BillItem{"2", "Pages (3): report.pdf", "0.30"}));
    EXPECT_EQ(items[1], (store::BillItem{"2", "Pages (2): notes", "0.20"}));
    EXPECT_TRUE(hasEvent(log(), "ADD PRINT ITEM,Pages (3): report.pdf,0.30"));

    panel().onSelectorChanged(0);
    EXPECT_TRUE(view().bill.title.visible);
    EXPECT_EQ(view().bill.caption.text, "Comp#: 2");
    EXPECT_EQ(view().bill.totalDisplay.text, "0.50");
    EXPECT_EQ(rig.printMonitor.starts, std::vector<std::string>{"SERVER"});
}

// A kept bill whose caption begins with "Comp" is a station's finished bill
// after a restart: it does not stand for its station (no alarm selector), while
// a running station's open bill does.
TEST_F(BillPanelTest, AKeptBillStandsForItsStationOnlyWhenItIsItsOpenBill)
{
    const std::vector<store::BillItem> lines{{"2", "Pages (1): x", "0.10"}};
    store::OpenState kept;
    kept.bills = {{"Comp 2", 2, false, lines, std::nullopt},
                  {"Comp#: 2", 2, false, lines, std::nullopt},
                  {"Open Bill: Comp#: 2", 2, false, lines, std::nullopt}};
    rig.engine.reset();
    const std::vector<std::byte> bytes = store::encodeOpenState(kept);
    std::ofstream(folder.path() / "BriskoOpen", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    rig.startConsole();

    ASSERT_EQ(panel().openBills().size(), 3u);
    for (int k = 0; k < 3; ++k) {
        panel().onSelectorChanged(k);
        const bool open = k == 2;
        EXPECT_EQ(panel().displayedStation(), open ? 2 : 0) << view().bill.caption.text;
        EXPECT_EQ(view().bill.alarm.visible, open) << view().bill.caption.text;
    }
}

TEST_F(BillPanelTest, PrintJobsMatchAStationByItsAddressButNeverTheCounter)
{
    rig.printMonitor.queued = {
        {"Laser", "127.0.0.3", "by-address", 4},      {"Laser", "\\\\127.0.0.2", "by-address-unc", 1},
        {"Laser", "127.0.0.9", "no-such-address", 1}, {"Laser", "127.0.0.3x", "not-an-address", 1},
        {"Laser", "localhost", "counter", 1},         {"Laser", "LOCALHOST", "counter-upper", 1},
        {"Laser", "0.0.0.0", "unset-address", 1}};
    rig.tickAfter(1s);
    ASSERT_EQ(panel().openBills().size(), 2u);
    EXPECT_EQ(panel().openBills()[0].items, (std::vector<store::BillItem>{{"2", "Pages (4): by-address", "0.40"}}));
    EXPECT_EQ(panel().openBills()[1].items, (std::vector<store::BillItem>{{"1", "Pages (1): by-address-unc", "0.10"}}));
    for (const char* document : {"no-such-address", "not-an-address", "counter", "counter-upper", "unset-address"})
        for (const std::string& event : log())
            EXPECT_EQ(event.find(document), std::string::npos) << event;
}

TEST_F(BillPanelTest, ABillTheJournalCannotTakeStaysOpen)
{
    walkInBill({0});
    console().journal().close();
    platform::SharedFile holder =
        platform::SharedFile::openOwned(folder.path() / "BriskoBills").value_or(platform::SharedFile{});
    ASSERT_TRUE(holder.isOpen());

    EXPECT_FALSE(panel().chargeBill());
    EXPECT_EQ(rig.prompts.messages.size(), 6u);
    EXPECT_EQ(rig.prompts.messages.back(), "Failed to open bill file after 5 tries.");
    EXPECT_EQ(panel().openBills().size(), 1u);
    EXPECT_EQ(view().bill.list.rows.size(), 1u);
    EXPECT_FALSE(hasEvent(log(), "CHARGE,1.50"));

    holder.close();
    EXPECT_TRUE(panel().chargeBill());
    EXPECT_TRUE(panel().openBills().empty());
    EXPECT_TRUE(hasEvent(log(), "CHARGE,1.50"));
    EXPECT_EQ(readJournal(folder.path()).size(), 1u);
}

TEST_F(BillPanelTest, ExitWarnsWhileUnpaidBillsWouldBeLost)
{
    walkInBill({0});
    rig.prompts.answers = {false};
    EXPECT_FALSE(console().requestExit());
    EXPECT_EQ(rig.prompts.questions.back(),
              "1 unpaid bill is still open. It is kept and comes back when Brisko starts again.\r\n\r\nExit Brisko?");
    EXPECT_EQ(panel().openBills().size(), 1u);

    typeTender("150");
    ASSERT_TRUE(panel().chargeBill());
    EXPECT_TRUE(console().requestExit());
    EXPECT_EQ(rig.prompts.questions.back(), "Exit Brisko?");
}

} // namespace console::test
