#include "configuration_page_widget.h"

#include "read_only_look.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace console::ui {
namespace {

bool isEnterOrEscape(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

// "Number of Clients:" is read out as "Number of Clients".
QString withoutColon(QString label)
{
    if (label.endsWith(':'))
        label.chop(1);
    return label;
}

} // namespace

ConfigurationPageWidget::ConfigurationPageWidget(console::configuration::ListPage& page,
                                                 std::span<const console::configuration::ListColumn> columns,
                                                 const QString& prefix, const QString& countLabel, QWidget* parent)
    : QWidget(parent),
      listPage_(page),
      prefix_(prefix),
      digitsOnly_(QRegularExpression("[0-9]*")),
      list_(new PageListView(page.list(), columns, this)),
      count_(new QLineEdit(this)),
      editor_(new QFormLayout),
      side_(new QVBoxLayout)
{
    nameControl(list_, "list", withoutColon(countLabel).replace("Number of ", "") + " list");
    count_->setValidator(&digitsOnly_);

    editor_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    addEditorRow(countLabel, count_, "count");
    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    editor_->addRow(separator);
    side_->addLayout(editor_);
    side_->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(side_);

    connect(list_, &PageListView::selectionEdited, this, &ConfigurationPageWidget::forwardSelection);
    connect(count_, &QLineEdit::textEdited, this,
            [this](const QString& text) { listPage_.setCountText(text.toStdString()); });
}

void ConfigurationPageWidget::addSaveButton()
{
    if (save_ != nullptr)
        return;
    save_ = new QPushButton("Save", this);
    nameControl(save_, "save", "Save");
    // Pressed by click or Space only; Enter in a page presses nothing.
    save_->setAutoDefault(false);
    auto* saveRow = new QHBoxLayout;
    saveRow->addStretch();
    saveRow->addWidget(save_);
    side_->addLayout(saveRow);
    connect(save_, &QPushButton::clicked, this, [this] {
        saveModel();
        showPage();
    });
}

void ConfigurationPageWidget::nameControl(QWidget* control, const char* name, const QString& accessibleName) const
{
    control->setObjectName(prefix_ + "." + name);
    control->setAccessibleName(accessibleName);
}

void ConfigurationPageWidget::addEditorRow(const QString& label, QWidget* field, const char* name)
{
    if (label.isEmpty()) {
        // A check box carries its own caption.
        nameControl(field, name, field->accessibleName());
        editor_->addRow(QString(), field);
        return;
    }
    auto* caption = new QLabel(label, this);
    caption->setBuddy(field);
    caption->setObjectName(prefix_ + "." + name + "Label");
    nameControl(field, name, withoutColon(label));
    editor_->addRow(caption, field);
}

QLineEdit* ConfigurationPageWidget::addLineEdit(const QString& label, const char* name)
{
    auto* edit = new QLineEdit(this);
    addEditorRow(label, edit, name);
    return edit;
}

QLineEdit* ConfigurationPageWidget::addReadOnlyField(const QString& label, const char* name)
{
    QLineEdit* edit = addLineEdit(label, name);
    showAsReadOnly(edit);
    return edit;
}

void ConfigurationPageWidget::addBelowSave(QWidget* widget)
{
    addSaveButton();
    side_->addWidget(widget);
}

void ConfigurationPageWidget::finishPage()
{
    addSaveButton();
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    showPage();
}

void ConfigurationPageWidget::showPage()
{
    list_->showList();
    showField(count_, listPage_.countField());
    showEditor();
}

void ConfigurationPageWidget::showField(QLineEdit* edit, const console::configuration::EditorField& field)
{
    const QString text = QString::fromStdString(field.text);
    if (edit->text() != text)
        edit->setText(text);
    edit->setEnabled(field.enabled);
}

void ConfigurationPageWidget::forwardSelection()
{
    // Only the rows whose state changed, each as its own change, the way the
    // list reports them one row at a time.
    const console::configuration::PageList& rows = listPage_.list();
    for (int r = 0; r < rows.rowCount(); ++r) {
        const bool selected = list_->isRowSelected(r);
        if (selected != rows.isSelected(r))
            listPage_.setRowSelected(r, selected);
    }
    showEditor();
}

bool ConfigurationPageWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (isEnterOrEscape(event)) {
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace console::ui
