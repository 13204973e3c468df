#pragma once
// What every configuration page shares: the list and its selection, the
// "Number of ..." field, the operator's prompts, and the steps of applying a
// new count and finishing a Save. A selection change reloads the page's
// editor from the first selected row.

#include "console/configuration/audit_log.h"
#include "console/configuration/editor_field.h"
#include "console/configuration/operator_dialogs.h"
#include "console/configuration/page_list.h"
#include "console/configuration/save_outcome.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace console::configuration {

class ListPage {
public:
    ListPage(const ListPage&) = delete;
    ListPage& operator=(const ListPage&) = delete;

    const PageList& list() const { return list_; }
    void setRowSelected(int row, bool selected);
    void clearSelection();
    // A row is selected, so the editor shows it and is enabled.
    bool editing() const { return list_.firstSelected().has_value(); }

    const EditorField& countField() const { return count_; }
    void setCountText(std::string text) { count_.text = std::move(text); }

    // Each Save that reaches the file logs the rows it added, changed and
    // removed (their first `columns` cells) under the page's name. The rows as
    // they read now are what later Saves are compared with.
    void setAuditLog(AuditLog log, std::string pageName, std::size_t columns);

protected:
    ListPage(std::size_t columnCount, OperatorPrompts& prompts) : prompts_(prompts), list_(columnCount) {}
    ~ListPage() = default;

    // Shows the first selected row in the editor, or clears and disables it.
    virtual void loadEditor() = 0;

    // Before the list goes down to `wanted` rows: asks "Delete last N <rowsName>?".
    // No puts the present row count back into the count field and returns false.
    bool confirmDeletion(int wanted, std::string_view rowsName);
    // A count for pages whose rows stand alone: removes rows from the end once the
    // operator agrees, or appends numbered rows holding `placeholders`.
    void applyPlainCount(int wanted, std::string_view rowsName, const PageRow& placeholders);
    // The end of every Save: selected rows may have gone, so the editor shows the
    // first selected row as it now reads.
    SaveOutcome finishSave(bool written);

    OperatorPrompts& prompts_;
    PageList list_;
    EditorField count_{"", true};

private:
    void logChanges();

    AuditLog auditLog_;
    std::string pageName_;
    std::size_t auditedColumns_ = 0;
    std::vector<PageRow> savedRows_;
};

} // namespace console::configuration
