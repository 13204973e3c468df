#include "console/configuration/printers_page.h"

#include "page_test_support.h"

#include "store/printer_table.h"

#include <gtest/gtest.h>

namespace console::configuration {
namespace {

using test::ScriptedPrompts;
using test::TempFolder;
using Strings = std::vector<std::string>;

const std::vector<store::PrinterEntry> kPrinters{
    {"PRINTSRV", "Laser", 0.10},
    {"PRINTSRV", "Colour", 0.50},
};

class PrintersPageTest : public ::testing::Test {
protected:
    void startWith(const std::vector<store::PrinterEntry>& entries)
    {
        {
            store::PrinterTable writer(folder.path());
            ASSERT_TRUE(writer.load());
            writer.entries() = entries;
            ASSERT_TRUE(writer.save());
        }
        ASSERT_TRUE(table.load());
    }

    std::vector<store::PrinterEntry> savedPrinters()
    {
        return test::savedContents(
            table, [&] { return store::PrinterTable(folder.path()); }, [](auto& reader) { return reader.entries(); });
    }

    TempFolder folder;
    store::PrinterTable table{folder.path()};
    ScriptedPrompts prompts;
};

TEST_F(PrintersPageTest, OpeningShowsPrintersAndTheLastServerName)
{
    startWith({{"OLDSRV", "Laser", 0.10}, {"PRINTSRV", "Colour", 0.5}});
    PrintersPage page(table, prompts);
    EXPECT_EQ(page.list().row(0), (Strings{"1", "Laser", "0.10"}));
    EXPECT_EQ(page.list().row(1), (Strings{"2", "Colour", "0.50"}));
    EXPECT_EQ(page.serverNameField().text, "PRINTSRV");
    EXPECT_TRUE(page.serverNameField().enabled);
    EXPECT_FALSE(page.printerNameField().enabled);
    EXPECT_FALSE(page.pageCostEnabled());
}

TEST_F(PrintersPageTest, NewServerNameRewritesEveryPrinter)
{
    startWith(kPrinters);
    PrintersPage page(table, prompts);
    page.setRowSelected(0, true);
    page.pageCostEditor().setValue(0.15, 2);
    page.setServerNameText("NEWSRV");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(savedPrinters(),
              (std::vector<store::PrinterEntry>{{"NEWSRV", "Laser", 0.15}, {"NEWSRV", "Colour", 0.50}}));
    EXPECT_EQ(table.printServerName(), "NEWSRV");
}

TEST_F(PrintersPageTest, RaisingTheCountAddsAPlaceholderSavedAsAFreePrinter)
{
    startWith({kPrinters[0]});
    PrintersPage page(table, prompts);
    page.setCountText("2");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(page.list().row(1), (Strings{"2", "<PrinterName>", "<Price Per Page>"}));
    EXPECT_EQ(savedPrinters()[1], (store::PrinterEntry{"PRINTSRV", "<PrinterName>", 0.0}));
}

TEST_F(PrintersPageTest, DeletingPrintersAsksFirst)
{
    startWith(kPrinters);
    PrintersPage page(table, prompts);
    prompts.answer(false);
    page.setCountText("1");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(prompts.questions, (Strings{"Delete last 1 Printers?"}));
    EXPECT_EQ(savedPrinters(), kPrinters);

    EXPECT_EQ(page.countField().text, "2");
    EXPECT_EQ(page.list().rowCount(), 2);

    prompts.answer(true);
    page.setCountText("1");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(savedPrinters(), (std::vector<store::PrinterEntry>{kPrinters[0]}));
}

} // namespace
} // namespace console::configuration
