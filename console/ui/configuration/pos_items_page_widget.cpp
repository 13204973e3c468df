#include "pos_items_page_widget.h"

#include "money_field_edit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace console::ui {

PosItemsPageWidget::PosItemsPageWidget(console::configuration::PosItemsPage& page, QWidget* parent)
    : ConfigurationPageWidget(page, console::configuration::PosItemsPage::kColumns, "posItems",
                              "Number of POS Items:", parent),
      page_(page),
      item_(addReadOnlyField("Item:", "item")),
      name_(addLineEdit("Name:", "name")),
      price_(new MoneyFieldEdit(page.priceEditor(), this)),
      fixedPrice_(new QCheckBox("Fixed Price", this))
{
    setObjectName("posItemsPage");
    addEditorRow("Price:", price_, "price");
    fixedPrice_->setAccessibleName("Fixed Price");
    addEditorRow("", fixedPrice_, "fixedPrice");
    connect(name_, &QLineEdit::textEdited, this,
            [this](const QString& text) { page_.setNameText(text.toStdString()); });
    connect(fixedPrice_, &QCheckBox::toggled, this, [this](bool checked) { page_.setFixedPrice(checked); });
    finishPage();
}

void PosItemsPageWidget::saveModel() { savePage(page_); }

void PosItemsPageWidget::showEditor()
{
    // "Item:" is read-only rather than disabled, so it stays readable.
    item_->setText(QString::fromStdString(page_.itemField().text));
    showField(name_, page_.nameField());
    price_->showModel();
    price_->setEnabled(page_.priceEnabled());
    const QSignalBlocker blocker(fixedPrice_);
    fixedPrice_->setChecked(page_.fixedPrice());
    fixedPrice_->setEnabled(page_.fixedPriceEnabled());
}

} // namespace console::ui
