#include "console/configuration/pos_items_page.h"

#include "page_test_support.h"

#include "store/sale_item_table.h"

#include <gtest/gtest.h>

namespace console::configuration {
namespace {

using test::ScriptedPrompts;
using test::TempFolder;
using Strings = std::vector<std::string>;

const std::vector<store::SaleItem> kItems{
    {"Coffee", 1.20, true},
    {"Scan & fax", 0.0, false},
};

class PosItemsPageTest : public ::testing::Test {
protected:
    void startWith(const std::vector<store::SaleItem>& items)
    {
        {
            store::SaleItemTable writer(folder.path());
            ASSERT_TRUE(writer.load());
            writer.items() = items;
            ASSERT_TRUE(writer.save());
        }
        ASSERT_TRUE(table.load());
    }

    std::vector<store::SaleItem> savedItems()
    {
        return test::savedContents(
            table, [&] { return store::SaleItemTable(folder.path()); }, [](auto& reader) { return reader.items(); });
    }

    TempFolder folder;
    store::SaleItemTable table{folder.path()};
    ScriptedPrompts prompts;
};

TEST_F(PosItemsPageTest, OpeningShowsPricesAndVaries)
{
    startWith(kItems);
    PosItemsPage page(table, prompts);
    EXPECT_EQ(page.list().row(0), (Strings{"1", "Coffee", "1.20"}));
    EXPECT_EQ(page.list().row(1), (Strings{"2", "Scan & fax", "Varies"}));
    EXPECT_EQ(page.countField().text, "2");
    EXPECT_FALSE(page.nameField().enabled);
    EXPECT_FALSE(page.priceEnabled());
    EXPECT_FALSE(page.fixedPriceEnabled());
}

TEST_F(PosItemsPageTest, EditorLoadsFixedAndVaryingItems)
{
    startWith(kItems);
    PosItemsPage page(table, prompts);
    page.setRowSelected(1, true);
    EXPECT_EQ(page.itemField().text, "2");
    EXPECT_EQ(page.nameField().text, "Scan & fax");
    EXPECT_FALSE(page.fixedPrice());
    EXPECT_EQ(page.priceEditor().text(), "0.00");
    EXPECT_TRUE(page.priceEnabled());

    page.setRowSelected(0, true);
    EXPECT_EQ(page.itemField().text, "1");
    EXPECT_TRUE(page.fixedPrice());
    EXPECT_EQ(page.priceEditor().text(), "1.20");

    page.clearSelection();
    EXPECT_EQ(page.itemField().text, "");
    EXPECT_EQ(page.nameField().text, "");
    EXPECT_EQ(page.priceEditor().text(), "");
    EXPECT_TRUE(page.fixedPrice()); // the check box keeps its look
    EXPECT_FALSE(page.fixedPriceEnabled());
}

TEST_F(PosItemsPageTest, RaisingTheCountAddsPlaceholdersSavedAsFreeFixedItems)
{
    startWith(kItems);
    PosItemsPage page(table, prompts);
    page.setCountText("4");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(page.list().row(2), (Strings{"3", "<Description>", "<Price>"}));
    EXPECT_EQ(page.list().row(3), (Strings{"4", "<Description>", "<Price>"}));
    const auto saved = savedItems();
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved[1], kItems[1]);
    EXPECT_EQ(saved[3], (store::SaleItem{"<Description>", 0.0, true}));
}

TEST_F(PosItemsPageTest, UncheckingFixedPriceStoresVaries)
{
    startWith(kItems);
    PosItemsPage page(table, prompts);
    page.setRowSelected(0, true);
    page.setFixedPrice(false);
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(page.list().row(0), (Strings{"1", "Coffee", "Varies"}));
    EXPECT_EQ(savedItems()[0], (store::SaleItem{"Coffee", 0.0, false}));
}

TEST_F(PosItemsPageTest, SelectedRowsAllReceiveTheEditorValues)
{
    startWith(kItems);
    PosItemsPage page(table, prompts);
    page.setRowSelected(0, true);
    page.setRowSelected(1, true);
    page.setNameText("Tea");
    page.setFixedPrice(true);
    page.priceEditor().setValue(0.9, 2);
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(savedItems(), (std::vector<store::SaleItem>{{"Tea", 0.9, true}, {"Tea", 0.9, true}}));
}

TEST_F(PosItemsPageTest, DeletingItemsAsksFirst)
{
    startWith(kItems);
    PosItemsPage page(table, prompts);
    prompts.answer(false);
    page.setCountText("0");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(page.list().rowCount(), 2);
    EXPECT_EQ(page.countField().text, "2");
    EXPECT_EQ(savedItems(), kItems);

    prompts.answer(true);
    page.setCountText("1");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(prompts.questions, (Strings{"Delete last 2 POS Items?", "Delete last 1 POS Items?"}));
    EXPECT_EQ(savedItems(), (std::vector<store::SaleItem>{kItems[0]}));
}

} // namespace
} // namespace console::configuration
