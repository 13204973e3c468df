#pragma once
// The Printers page of the configuration dialog: the printers and their page
// prices as rows, the one print server name, the number of printers, an editor
// for the selected rows, and Save.

#include "console/configuration/list_column.h"
#include "console/configuration/list_page.h"

#include "fields/money_field.h"

#include <array>
#include <string>

namespace store {
class PrinterTable;
}

namespace console::configuration {

class PrintersPage final : public ListPage {
public:
    static constexpr std::size_t kNumberColumn = 0;
    static constexpr std::size_t kPrinterNameColumn = 1;
    static constexpr std::size_t kPagePriceColumn = 2;
    static constexpr std::array<ListColumn, 3> kColumns{{
        {"No", 26, ColumnAlignment::Left},
        {"Printer Name", 355, ColumnAlignment::Left},
        {"Page Price", 64, ColumnAlignment::Right},
    }};

    // Opens the page: loads the printers (nothing new after start-up) and fills the list.
    PrintersPage(store::PrinterTable& printers, OperatorPrompts& prompts);

    // "Server Name:": always enabled; Save gives it to every printer.
    const EditorField& serverNameField() const { return serverName_; }
    void setServerNameText(std::string text) { serverName_.text = std::move(text); }

    // "Printer:": the number of the row being edited, read-only.
    const EditorField& printerField() const { return printer_; }
    const EditorField& printerNameField() const { return printerName_; }
    void setPrinterNameText(std::string text) { printerName_.text = std::move(text); }
    // "Page Cost:".
    fields::MoneyField& pageCostEditor() { return pageCost_; }
    const fields::MoneyField& pageCostEditor() const { return pageCost_; }
    bool pageCostEnabled() const { return editing(); }

    [[nodiscard]] SaveOutcome save();

private:
    void fillList();
    void loadEditor() override;
    void applyEditorToSelection();
    void rebuildTable();

    store::PrinterTable& printers_;

    EditorField serverName_{"", true};
    EditorField printer_;
    EditorField printerName_;
    fields::MoneyField pageCost_;
};

} // namespace console::configuration
