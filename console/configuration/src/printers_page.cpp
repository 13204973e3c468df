#include "console/configuration/printers_page.h"

#include "console/configuration/count_field.h"
#include "console/configuration/page_text.h"
#include "console/texts.h"

#include "store/text_number.h"

#include "store/printer_table.h"

#include <optional>
#include <vector>

namespace console::configuration {

PrintersPage::PrintersPage(store::PrinterTable& printers, OperatorPrompts& prompts)
    : ListPage(kColumns.size(), prompts), printers_(printers)
{
    // A file that cannot be read is silent: the page shows what the table holds,
    // and the next opening tries the file again.
    (void)printers_.load();
    fillList();
    loadEditor();
}

void PrintersPage::fillList()
{
    list_.clear();
    serverName_.text.clear();
    int number = 0;
    for (const store::PrinterEntry& entry : printers_.entries()) {
        list_.append({decimalText(++number), entry.printerName, store::formatMoney(entry.pagePrice)});
        serverName_.text = entry.serverName;
    }
    count_.text = decimalText(list_.rowCount());
}

void PrintersPage::loadEditor()
{
    const std::optional<int> first = list_.firstSelected();
    printer_.enabled = false;
    printerName_.enabled = first.has_value();
    if (!first) {
        printer_.text.clear();
        printerName_.text.clear();
        pageCost_.setText("");
        return;
    }
    const PageRow& row = list_.row(*first);
    printer_.text = decimalText(store::parseIntText(row[kNumberColumn]));
    printerName_.text = row[kPrinterNameColumn];
    pageCost_.setValue(store::parseMoneyText(row[kPagePriceColumn]), 2);
}

SaveOutcome PrintersPage::save()
{
    const std::optional<int> wanted = readCountField(count_.text, 0, kMaxTableRows, prompts_);
    if (!wanted)
        return SaveOutcome::Refused;
    applyPlainCount(*wanted, kPrinterRowsName, {kPrinterNamePlaceholder, kPagePricePlaceholder});
    applyEditorToSelection();
    rebuildTable();
    return finishSave(printers_.save());
}

void PrintersPage::applyEditorToSelection()
{
    for (const int r : list_.selectedRows()) {
        list_.setCell(r, kPrinterNameColumn, printerName_.text);
        list_.setCell(r, kPagePriceColumn, pageCost_.text());
    }
}

void PrintersPage::rebuildTable()
{
    std::vector<store::PrinterEntry> entries;
    entries.reserve(static_cast<std::size_t>(list_.rowCount()));
    for (const PageRow& row : list_.rows())
        entries.push_back({serverName_.text, row[kPrinterNameColumn], store::parseMoneyText(row[kPagePriceColumn])});
    printers_.entries() = std::move(entries);
}

} // namespace console::configuration
