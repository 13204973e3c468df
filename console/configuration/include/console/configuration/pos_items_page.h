#pragma once
// The POS Items page of the configuration dialog: the sale items as rows, the
// number of items, an editor for the selected rows, and Save.

#include "console/configuration/list_column.h"
#include "console/configuration/list_page.h"

#include "fields/money_field.h"

#include <array>
#include <string>

namespace store {
class SaleItemTable;
}

namespace console::configuration {

class PosItemsPage final : public ListPage {
public:
    static constexpr std::size_t kNumberColumn = 0;
    static constexpr std::size_t kDescriptionColumn = 1;
    static constexpr std::size_t kPriceColumn = 2;
    static constexpr std::array<ListColumn, 3> kColumns{{
        {"No", 26, ColumnAlignment::Left},
        {"Description", 163, ColumnAlignment::Left},
        {"Price", 67, ColumnAlignment::Right},
    }};

    // Opens the page: loads the items (nothing new after start-up) and fills the list.
    PosItemsPage(store::SaleItemTable& items, OperatorPrompts& prompts);

    int saleItemCount() const { return list_.rowCount(); }

    // "Item:": the number of the row being edited, read-only.
    const EditorField& itemField() const { return item_; }
    const EditorField& nameField() const { return name_; }
    void setNameText(std::string text) { name_.text = std::move(text); }
    fields::MoneyField& priceEditor() { return price_; }
    const fields::MoneyField& priceEditor() const { return price_; }
    bool priceEnabled() const { return editing(); }
    // "Fixed Price": keeps its look while disabled.
    bool fixedPrice() const { return fixedPrice_; }
    bool fixedPriceEnabled() const { return editing(); }
    void setFixedPrice(bool fixed) { fixedPrice_ = fixed; }

    [[nodiscard]] SaveOutcome save();

private:
    void fillList();
    void loadEditor() override;
    void applyEditorToSelection();
    void rebuildTable();

    store::SaleItemTable& items_;

    EditorField item_;
    EditorField name_;
    fields::MoneyField price_;
    bool fixedPrice_ = false;
};

} // namespace console::configuration
