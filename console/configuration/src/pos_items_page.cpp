#include "console/configuration/pos_items_page.h"

#include "console/configuration/count_field.h"
#include "console/configuration/page_text.h"
#include "console/texts.h"

#include "store/text_number.h"

#include "store/sale_item_table.h"

#include <optional>
#include <vector>

namespace console::configuration {

PosItemsPage::PosItemsPage(store::SaleItemTable& items, OperatorPrompts& prompts)
    : ListPage(kColumns.size(), prompts), items_(items)
{
    // A file that cannot be read is silent: the page shows what the table holds,
    // and the next opening tries the file again.
    (void)items_.load();
    fillList();
    loadEditor();
}

void PosItemsPage::fillList()
{
    list_.clear();
    int number = 0;
    for (const store::SaleItem& item : items_.items())
        list_.append(
            {decimalText(++number), item.description, item.fixedPrice ? store::formatMoney(item.price) : kVariesText});
    count_.text = decimalText(list_.rowCount());
}

void PosItemsPage::loadEditor()
{
    const std::optional<int> first = list_.firstSelected();
    item_.enabled = false;
    name_.enabled = first.has_value();
    if (!first) {
        item_.text.clear();
        name_.text.clear();
        price_.setText("");
        return;
    }
    const PageRow& row = list_.row(*first);
    item_.text = decimalText(store::parseIntText(row[kNumberColumn]));
    name_.text = row[kDescriptionColumn];
    fixedPrice_ = row[kPriceColumn] != kVariesText;
    price_.setValue(fixedPrice_ ? store::parseMoneyText(row[kPriceColumn]) : 0.0, 2);
}

SaveOutcome PosItemsPage::save()
{
    const std::optional<int> wanted = readCountField(count_.text, 0, kMaxTableRows, prompts_);
    if (!wanted)
        return SaveOutcome::Refused;
    applyPlainCount(*wanted, kPosItemRowsName, {kDescriptionPlaceholder, kPricePlaceholder});
    applyEditorToSelection();
    rebuildTable();
    return finishSave(items_.save());
}

void PosItemsPage::applyEditorToSelection()
{
    for (const int r : list_.selectedRows()) {
        list_.setCell(r, kDescriptionColumn, name_.text);
        list_.setCell(r, kPriceColumn, fixedPrice_ ? price_.text() : kVariesText);
    }
}

void PosItemsPage::rebuildTable()
{
    std::vector<store::SaleItem> items;
    items.reserve(static_cast<std::size_t>(list_.rowCount()));
    for (const PageRow& row : list_.rows()) {
        const bool fixed = row[kPriceColumn] != kVariesText;
        items.push_back({row[kDescriptionColumn], fixed ? store::parseMoneyText(row[kPriceColumn]) : 0.0, fixed});
    }
    items_.items() = std::move(items);
}

} // namespace console::configuration
