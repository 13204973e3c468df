#include "console/configuration/configuration_dialog_model.h"

#include "console/texts.h"
#include "page_test_support.h"

#include "store/bill_journal.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/printer_table.h"
#include "store/rate_table.h"
#include "store/sale_item_table.h"

#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>

namespace console::configuration {
namespace {

using test::RecordingNotifier;
using test::RecordingWorkers;
using test::ScriptedPrompts;
using test::TempFolder;
using Strings = std::vector<std::string>;

class ConfigurationDialogTest : public ::testing::Test {
protected:
    ConfigurationDialogTest() { EXPECT_TRUE(configuration.load()); }

    std::uintmax_t configFileSize() const { return std::filesystem::file_size(folder.path() / "BriskoConfig"); }

    // The configuration a later start-up reads.
    template <class Check>
    void afterRestart(Check check)
    {
        configuration.close();
        store::Configuration restarted(folder.path(), notifier);
        ASSERT_TRUE(restarted.load());
        check(restarted);
        restarted.close();
        EXPECT_TRUE(configuration.load());
    }

    TempFolder folder;
    RecordingNotifier notifier;
    platform::ManualClock clock{std::time(nullptr)};
    store::Configuration configuration{folder.path(), notifier};
    store::BillJournal journal{folder.path(), clock, notifier};
    store::ClientTable clients{folder.path(), notifier};
    store::SaleItemTable saleItems{folder.path()};
    store::PrinterTable printers{folder.path()};
    store::RateTable rates{folder.path()};
    ScriptedPrompts prompts;
    RecordingWorkers workers;
    ConfigurationDialogModel dialog{
        configuration, [this] { return journal.dayTotal(); }, {clients, saleItems, printers, rates}, workers, prompts};
};

TEST_F(ConfigurationDialogTest, OpeningCreatesThePagesAndClearsTheCommands)
{
    EXPECT_EQ(dialog.clientsPage(), nullptr);
    dialog.open();
    dialog.setTerminateClients(true);
    dialog.setShutdownClients(true);
    dialog.selectTab(ConfigurationTab::Rates);
    dialog.cancel();
    EXPECT_EQ(dialog.result(), ConfigurationDialogModel::Result::Cancel);
    EXPECT_EQ(dialog.clientCommand(), ClientCommand::None);
    EXPECT_EQ(dialog.ratesPage(), nullptr);

    dialog.open();
    EXPECT_FALSE(dialog.terminateClients());
    EXPECT_FALSE(dialog.shutdownClients());
    EXPECT_EQ(dialog.currentTab(), ConfigurationTab::Clients);
    EXPECT_TRUE(dialog.isPageShown(ConfigurationTab::Clients));
    EXPECT_FALSE(dialog.isPageShown(ConfigurationTab::PosItems));
    ASSERT_NE(dialog.clientsPage(), nullptr);
    ASSERT_NE(dialog.posItemsPage(), nullptr);
    ASSERT_NE(dialog.printersPage(), nullptr);
    ASSERT_NE(dialog.ratesPage(), nullptr);
    EXPECT_EQ(dialog.ratesPage()->testDuration().text(), "00:00:00");
}

TEST_F(ConfigurationDialogTest, TerminateWinsOverShutdownAfterOk)
{
    dialog.open();
    dialog.setShutdownClients(true);
    ASSERT_TRUE(dialog.ok());
    EXPECT_EQ(dialog.clientCommand(), ClientCommand::Shutdown);

    dialog.open();
    dialog.setTerminateClients(true);
    dialog.setShutdownClients(true);
    ASSERT_TRUE(dialog.ok());
    EXPECT_EQ(dialog.result(), ConfigurationDialogModel::Result::Ok);
    EXPECT_EQ(dialog.clientCommand(), ClientCommand::Quit);
}

TEST_F(ConfigurationDialogTest, MismatchedPasswordsStayInTheDialogAndSaveNothing)
{
    dialog.open();
    dialog.setPasswordText("secret");
    dialog.setConfirmText("Secret");
    dialog.setReceiptLine1Text("Corner Cafe");
    EXPECT_FALSE(dialog.ok());
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_EQ(prompts.messages, (Strings{"Passwords do not match"}));
    EXPECT_EQ(configFileSize(), 0u);
    EXPECT_EQ(configuration.receiptLine1(), "");
    EXPECT_TRUE(configuration.verifyOperatorPassword(""));

    // Cancel keeps the settings and forgets the typed passwords.
    dialog.cancel();
    dialog.open();
    EXPECT_EQ(dialog.passwordText(), "");
    EXPECT_EQ(dialog.confirmText(), "");
    EXPECT_EQ(dialog.receiptLine1Text(), "");
}

TEST_F(ConfigurationDialogTest, EmptyPasswordAndUnchangedLinesWriteNothing)
{
    dialog.open();
    ASSERT_TRUE(dialog.ok());
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(configFileSize(), 0u);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ConfigurationDialogTest, NewPasswordWritesTheWholeFileAndVerifiesAfterRestart)
{
    dialog.open();
    dialog.setPasswordText("open sesame");
    dialog.setConfirmText("open sesame");
    ASSERT_TRUE(dialog.ok());
    EXPECT_EQ(configFileSize(), 1536u);
    EXPECT_TRUE(configuration.verifyOperatorPassword("open sesame"));
    EXPECT_FALSE(configuration.verifyOperatorPassword(""));
    afterRestart([](store::Configuration& restarted) {
        EXPECT_TRUE(restarted.verifyOperatorPassword("open sesame"));
        EXPECT_FALSE(restarted.verifyOperatorPassword("Open sesame"));
        EXPECT_EQ(restarted.receiptLine1(), "");
    });

    // The accepted texts are shown again at the next opening.
    dialog.open();
    EXPECT_EQ(dialog.passwordText(), "open sesame");
    EXPECT_EQ(dialog.confirmText(), "open sesame");
}

TEST_F(ConfigurationDialogTest, ChangedReceiptLinesAloneAreSavedWithThePasswordUnchanged)
{
    dialog.open();
    dialog.setReceiptLine1Text("Corner Cafe");
    dialog.setReceiptLine2Text("Thank you");
    ASSERT_TRUE(dialog.ok());
    EXPECT_EQ(configFileSize(), 1536u);
    afterRestart([](store::Configuration& restarted) {
        EXPECT_TRUE(restarted.verifyOperatorPassword(""));
        EXPECT_EQ(restarted.receiptLine1(), "Corner Cafe");
        EXPECT_EQ(restarted.receiptLine2(), "Thank you");
    });
    dialog.open();
    EXPECT_EQ(dialog.receiptLine2Text(), "Thank you");
}

TEST_F(ConfigurationDialogTest, PasswordLongerThanTheRecordHoldsIsRefused)
{
    dialog.open();
    const std::string tooLong(store::Configuration::kMaxPasswordLength + 1, 'x');
    dialog.setPasswordText(tooLong);
    dialog.setConfirmText(tooLong);
    dialog.setReceiptLine1Text("Corner Cafe");
    EXPECT_FALSE(dialog.ok());
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_EQ(prompts.messages, (Strings{passwordTooLongMessage(store::Configuration::kMaxPasswordLength)}));
    EXPECT_EQ(configFileSize(), 0u);
    EXPECT_EQ(configuration.receiptLine1(), "");
    EXPECT_TRUE(configuration.verifyOperatorPassword(""));

    const std::string longest(store::Configuration::kMaxPasswordLength, 'x');
    dialog.setPasswordText(longest);
    dialog.setConfirmText(longest);
    ASSERT_TRUE(dialog.ok());
    afterRestart([&](store::Configuration& restarted) { EXPECT_TRUE(restarted.verifyOperatorPassword(longest)); });
}

TEST_F(ConfigurationDialogTest, AFailedSaveIsReportedAndKeepsTheDialogOpen)
{
    dialog.open();
    dialog.setPasswordText("new");
    dialog.setConfirmText("new");
    std::filesystem::remove_all(folder.path()); // nowhere left to write
    EXPECT_FALSE(dialog.ok());
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_EQ(prompts.messages, (Strings{"The configuration could not be saved."}));
}

TEST_F(ConfigurationDialogTest, DayTotalShowsTodaysTakingsOrReportUnavailable)
{
    dialog.open();
    EXPECT_EQ(dialog.dayTotalText(), "Report Unavailable");
    dialog.cancel();

    ASSERT_TRUE(journal.open());
    ASSERT_TRUE(journal.append({{"3", "Coffee", "1.20"}, {"3", "Printing", "0.30"}}));
    dialog.open();
    EXPECT_EQ(dialog.dayTotalText(), "1.50");
}

} // namespace
} // namespace console::configuration
