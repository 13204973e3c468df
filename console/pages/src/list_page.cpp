#include "console/pages/list_page.h"

#include "console/pages/page_text.h"

namespace console::pages {

void ListPage::setRowSelected(int row, bool selected)
{
    list_.setSelected(row, selected);
    loadEditor();
}

void ListPage::clearSelection()
{
    list_.clearSelection();
    loadEditor();
}

bool ListPage::confirmDeletion(int wanted, std::string_view rowsName)
{
    const int former = list_.rowCount();
    if (prompts_.askYesNo("Delete last " + decimalText(former - wanted) + " " + std::string(rowsName) + "?"))
        return true;
    count_.text = decimalText(former);
    return false;
}

void ListPage::applyPlainCount(int wanted, std::string_view rowsName, const PageRow& placeholders)
{
    const int former = list_.rowCount();
    if (wanted < former) {
        if (confirmDeletion(wanted, rowsName))
            list_.truncate(wanted);
        return;
    }
    for (int number = former + 1; number <= wanted; ++number) {
        PageRow row{decimalText(number)};
        row.insert(row.end(), placeholders.begin(), placeholders.end());
        list_.append(std::move(row));
    }
}

SaveOutcome ListPage::finishSave(bool written)
{
    loadEditor();
    return written ? SaveOutcome::Saved : SaveOutcome::NotWritten;
}

} // namespace console::pages
