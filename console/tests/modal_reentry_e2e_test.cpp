// Dialogs the engine opens while the window's timers go on firing: a session
// that ends under the price prompt, the print dialog, the exit question or the
// configuration dialog keeps the table current, but its bill waits until the
// dialog is done and carries the time of the session's end. And no message box
// opens while a station's mailbox lock is held.

#include "running_station_cafe.h"

#include "console/texts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <future>

namespace console::test {

class ModalReentry : public RunningStationCafe {
protected:
    std::vector<std::future<void>> lockProbes;

    // Under an open dialog: the customer of station 2 ends the session, the
    // event poll and the money tick run as the window's timers would, and ten
    // minutes go by before the dialog closes. The table follows at once; the
    // bills do not change.
    void sessionEndsUnderTheDialog()
    {
        const std::vector<OpenBill> bills = panel().openBills();
        cafe->station(1).endSession();
        ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));
        EXPECT_EQ(rig.text(1, Column::Start), "");
        EXPECT_EQ(rig.text(1, Column::AccessCost), "0.00");
        EXPECT_TRUE(hasEvent(log(), "STOPPED,1"));
        rig.tickAfter(600s);
        cafe->runFor(50ms);
        EXPECT_EQ(panel().openBills().size(), bills.size()) << "no bill while the dialog is up";
        EXPECT_FALSE(hasEvent(log(), "ADD ITEM,00 hrs 01 mins 01 secs,1.50"));
    }

    // The session's bill, made after the dialog closed, with its time at the session's end.
    void expectSessionBill(std::size_t at)
    {
        ASSERT_GT(panel().openBills().size(), at);
        EXPECT_EQ(panel().selectorEntries().at(at), "Comp#: 2");
        const OpenBill& bill = panel().openBills().at(at);
        ASSERT_FALSE(bill.items.empty());
        EXPECT_EQ(bill.items[0], (store::BillItem{"2", "00 hrs 01 mins 01 secs", "1.50"}));
        EXPECT_TRUE(hasEvent(log(), "ADD ITEM,00 hrs 01 mins 01 secs,1.50"));
    }

    // Whether another thread can take station i's mailbox lock within a second.
    bool mailboxLockFree(int i)
    {
        lockProbes.push_back(
            std::async(std::launch::async, [this, i] { auto mailbox = console().link().lockMailbox(i); }));
        return lockProbes.back().wait_for(1s) == std::future_status::ready;
    }
};

// The price belongs to the walk-in sale it was asked for, not to the session
// bill that would otherwise have been shown in its place.
TEST_F(ModalReentry, ASessionEndingUnderThePricePromptLeavesTheWalkInSaleAlone)
{
    rig.select({});
    console().onBillPressed();
    rig.price.keys = "325";
    rig.price.whileAsking = [&] { sessionEndsUnderTheDialog(); };
    panel().onItemPressed(1);

    ASSERT_EQ(panel().selectorEntries(), (std::vector<std::string>{"Open Bill", "Comp#: 2"}));
    EXPECT_EQ(panel().openBills()[0].items, (std::vector<store::BillItem>{{"", "Sandwich", "3.25"}}));
    expectSessionBill(1);
    EXPECT_EQ(panel().openBills()[1].items.size(), 1u);
    EXPECT_EQ(view().bill.caption.text, "Open Bill") << "the walk-in sale stays on display";
    EXPECT_TRUE(view().bill.itemRows[1].quantity.visible);
    EXPECT_EQ(view().focusRequest.control, FocusTarget::Control::QuantityField);
}

// Stop PC turns the station's open bill to tendering; its receipt is being
// printed when the station confirms the stop. The receipt and the charge are
// that open bill's; the session's time becomes a bill of its own.
TEST_F(ModalReentry, ASessionEndingUnderThePrintDialogLeavesTheBillBeingPrinted)
{
    rig.select({1});
    console().onBillPressed();
    panel().onItemPressed(0);
    console().onEnter();
    panel().onItemPanelButton(); // "Stop PC#2"
    ASSERT_TRUE(view().bill.charge.visible);
    ASSERT_EQ(view().bill.caption.text, "Open Bill: Comp#: 2");

    rig.printer.whileChoosing = [&] { sessionEndsUnderTheDialog(); };
    panel().printReceipt();

    ASSERT_EQ(rig.printer.printed.size(), 1u);
    std::vector<std::string> texts;
    for (const ReceiptElement& e : rig.printer.printed[0].elements)
        if (auto* t = std::get_if<ReceiptText>(&e))
            texts.push_back(t->text);
    EXPECT_THAT(texts, testing::Contains("Coffee"));
    EXPECT_THAT(texts, testing::Not(testing::Contains("00 hrs 01 mins 01 secs")));
    const auto journal = readJournal(folder.path());
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0].lines, (std::vector<store::BillItem>{{"0", "Coffee", "1.50"}}));
    EXPECT_TRUE(hasEvent(log(), "CHARGE,1.50"));

    ASSERT_EQ(panel().openBills().size(), 1u);
    expectSessionBill(0);
    EXPECT_EQ(panel().openBills()[0].items.size(), 1u) << "the Coffee is paid already";
    EXPECT_EQ(view().bill.caption.text, "Comp#: 2");
    EXPECT_FALSE(console().stationState(1).holds.has(Hold::OpenBill));
}

TEST_F(ModalReentry, ASessionEndingUnderTheExitQuestionIsBilledWhenItIsAnsweredNo)
{
    rig.prompts.answers = {false};
    rig.prompts.whileAsking = [&](const std::string&) { sessionEndsUnderTheDialog(); };
    EXPECT_FALSE(console().requestExit());
    EXPECT_EQ(rig.prompts.questions, std::vector<std::string>{"Exit Brisko?"});
    ASSERT_EQ(panel().openBills().size(), 1u);
    expectSessionBill(0);
    EXPECT_EQ(view().bill.caption.text, "Comp#: 2");
    EXPECT_TRUE(console().link().isRunning());
}

// Yes to a question that warned of no unpaid bill would lose the bill made
// meanwhile without a word: the question comes again with the bill counted.
TEST_F(ModalReentry, AnExitQuestionAnsweredYesAsksAgainForABillMadeMeanwhile)
{
    rig.prompts.whileAsking = [&](const std::string&) {
        rig.prompts.whileAsking = nullptr;
        sessionEndsUnderTheDialog();
    };
    EXPECT_TRUE(console().requestExit());
    EXPECT_EQ(
        rig.prompts.questions,
        (std::vector<std::string>{
            "Exit Brisko?",
            "1 unpaid bill is still open. It is kept and comes back when Brisko starts again.\r\n\r\nExit Brisko?"}));
    EXPECT_TRUE(console().hasEnded());
}

TEST_F(ModalReentry, ASessionEndingUnderTheConfigurationDialogIsBilledWhenItCloses)
{
    rig.select({2});
    console().onStartPressed();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(2) == kStatusStarted; }));
    rig.configurationHost.script = [&](configuration::ConfigurationDialogModel&) {
        sessionEndsUnderTheDialog();
        // A page printed on station 3 meanwhile is priced now and put on its bill later.
        rig.printMonitor.queued = {{"Laser", "PC3", "form.pdf", 4}};
        rig.tickAfter(1s);
        EXPECT_TRUE(rig.printMonitor.queued.empty());
        EXPECT_TRUE(panel().openBills().empty());
        EXPECT_EQ(rig.text(2, Column::Extras), "0.00");
    };
    console().onConfigurationPressed();

    ASSERT_EQ(panel().selectorEntries(), (std::vector<std::string>{"Comp#: 2", "Open Bill: Comp#: 3"}));
    expectSessionBill(0);
    EXPECT_EQ(panel().openBills()[1].items, (std::vector<store::BillItem>{{"3", "Pages (4): form.pdf", "0.40"}}));
    EXPECT_EQ(rig.text(2, Column::Extras), "0.40");
    EXPECT_TRUE(console().stationState(2).holds.has(Hold::OpenBill));
    EXPECT_EQ(rig.status(2), kStatusStarted);
}

// The log file has gone (a folder took its name): every line written asks the
// operator, but never while a station's mailbox lock is held.
TEST_F(ModalReentry, AFailingLogTellsTheOperatorOnlyOutsideTheMailboxLock)
{
    console().activityLog().close();
    std::filesystem::remove(folder.path() / "BriskoLog");
    std::filesystem::create_directory(folder.path() / "BriskoLog");

    std::vector<bool> lockFree;
    rig.prompts.whileShowing = [&](const std::string&) { lockFree.push_back(mailboxLockFree(1)); };
    cafe->station(1).endSession();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));

    // "STOPPED,1" and the session's "ADD ITEM" line.
    ASSERT_GE(rig.prompts.messages.size(), 2u);
    EXPECT_THAT(rig.prompts.messages, testing::Each(std::string("File Open Failed")));
    EXPECT_THAT(lockFree, testing::Each(true));
    ASSERT_EQ(panel().openBills().size(), 1u);
    EXPECT_EQ(panel().openBills()[0].items.at(0).description, "00 hrs 01 mins 01 secs");

    // The station link went on serving: the next session starts and is confirmed.
    rig.select({1});
    console().onStartPressed();
    EXPECT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStarted; }));
}

} // namespace console::test
