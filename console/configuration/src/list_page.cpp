#include "console/configuration/list_page.h"

#include "console/configuration/page_text.h"
#include "console/texts.h"

#include <algorithm>

namespace console::configuration {

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
    if (prompts_.askYesNo(deleteRowsQuestion(former - wanted, rowsName)))
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
    if (written)
        logChanges();
    loadEditor();
    return written ? SaveOutcome::Saved : SaveOutcome::NotWritten;
}

void ListPage::setAuditLog(AuditLog log, std::string pageName, std::size_t columns)
{
    auditLog_ = std::move(log);
    pageName_ = std::move(pageName);
    auditedColumns_ = columns;
    savedRows_ = list_.rows();
}

void ListPage::logChanges()
{
    const std::vector<PageRow>& now = list_.rows();
    if (auditLog_) {
        const auto cells = [this](const PageRow& row) {
            std::string text;
            for (std::size_t c = 0; c < row.size() && c < auditedColumns_; ++c)
                text += "," + row[c];
            return text;
        };
        const std::size_t common = std::min(savedRows_.size(), now.size());
        for (std::size_t r = 0; r < common; ++r)
            if (cells(savedRows_[r]) != cells(now[r]))
                auditLog_("CONFIG CHANGED," + pageName_ + cells(now[r]));
        for (std::size_t r = common; r < now.size(); ++r)
            auditLog_("CONFIG ADDED," + pageName_ + cells(now[r]));
        for (std::size_t r = common; r < savedRows_.size(); ++r)
            auditLog_("CONFIG REMOVED," + pageName_ + cells(savedRows_[r]));
    }
    savedRows_ = now;
}

} // namespace console::configuration
