#pragma once
// What the four configuration pages share on screen: the list on the left;
// the "Number of ..." field, the page's editor fields and Save on the right.
// Selection changes and the count are forwarded to the page model, and after
// every model call the page copies the model back into its widgets. Enter and
// Escape pressed anywhere inside a page are discarded: they neither press
// Save nor close the dialog.
//
// Tab takes the controls in the order they are made: list, count, the
// editor rows, Save, then what a page puts below Save.
//
// A page widget must not outlive its page model in use: the dialog detaches
// and destroys the page widgets as soon as the model has closed its pages,
// and keeps the focus out of them while the model closes.

#include "page_list_view.h"

#include "console/configuration/editor_field.h"
#include "console/configuration/list_page.h"

#include <QRegularExpressionValidator>
#include <QWidget>

#include <span>

class QBoxLayout;
class QFormLayout;
class QLineEdit;
class QPushButton;

namespace console::ui {

class ConfigurationPageWidget : public QWidget {
    Q_OBJECT
public:
    PageListView* list() const { return list_; }
    QLineEdit* countEdit() const { return count_; }
    QPushButton* saveButton() const { return save_; }

    // The page model is going: the list lets go of its rows. Called before the
    // page widget is destroyed, even when the model has just closed its pages.
    void detach() { list_->detach(); }

protected:
    // `prefix` names the page's controls ("clients" gives "clients.list", ...).
    ConfigurationPageWidget(console::configuration::ListPage& page,
                            std::span<const console::configuration::ListColumn> columns, const QString& prefix,
                            const QString& countLabel, QWidget* parent);

    // The editor rows, under the count field: a label and its field, or a field
    // alone (labelled by its accessible name) when the label is empty.
    void addEditorRow(const QString& label, QWidget* field, const char* name);
    // A field that shows a number the operator cannot change (the row being
    // edited): read-only, and drawn on the window's colour so that it looks so.
    QLineEdit* addReadOnlyField(const QString& label, const char* name);
    QLineEdit* addLineEdit(const QString& label, const char* name);
    // Save, under the editor rows; finishPage() adds it when the page has not.
    void addSaveButton();
    // A row of its own under Save.
    void addBelowSave(QWidget* widget);
    // Names a control of this page, with its accessible name.
    void nameControl(QWidget* control, const char* name, const QString& accessibleName) const;

    // The last step of a page's constructor: shows the model and starts
    // discarding Enter and Escape in every control of the page.
    void finishPage();

    // The page model's Save.
    virtual void saveModel() = 0;
    // What every saveModel() does with its page. A refused field was shown by
    // the page. A table the page could not write stays rebuilt in memory while
    // its file keeps the previous table; that is not shown here.
    template <class Page>
    static void savePage(Page& page)
    {
        (void)page.save();
    }
    // Copies the page model's editor into the editor widgets.
    virtual void showEditor() = 0;
    // The list, the count and the editor, as the model now holds them.
    void showPage();

    static void showField(QLineEdit* edit, const console::configuration::EditorField& field);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void forwardSelection();

    console::configuration::ListPage& listPage_;
    QString prefix_;
    QRegularExpressionValidator digitsOnly_;
    PageListView* list_;
    QLineEdit* count_;
    QPushButton* save_ = nullptr;
    QFormLayout* editor_;
    QBoxLayout* side_;
};

} // namespace console::ui
