#include "printers_page_widget.h"

#include "money_field_edit.h"

#include <QLineEdit>

namespace console::ui {

PrintersPageWidget::PrintersPageWidget(console::configuration::PrintersPage& page, QWidget* parent)
    : ConfigurationPageWidget(page, console::configuration::PrintersPage::kColumns, "printers",
                              "Number of Printers:", parent),
      page_(page),
      printer_(addReadOnlyField("Printer:", "printer")),
      serverName_(addLineEdit("Server Name:", "serverName")),
      printerName_(addLineEdit("Printer Name:", "printerName")),
      pageCost_(new MoneyFieldEdit(page.pageCostEditor(), this))
{
    setObjectName("printersPage");
    addEditorRow("Page Cost:", pageCost_, "pageCost");
    connect(serverName_, &QLineEdit::textEdited, this,
            [this](const QString& text) { page_.setServerNameText(text.toStdString()); });
    connect(printerName_, &QLineEdit::textEdited, this,
            [this](const QString& text) { page_.setPrinterNameText(text.toStdString()); });
    finishPage();
}

void PrintersPageWidget::saveModel() { savePage(page_); }

void PrintersPageWidget::showEditor()
{
    // "Printer:" is read-only rather than disabled, so it stays readable.
    printer_->setText(QString::fromStdString(page_.printerField().text));
    showField(serverName_, page_.serverNameField());
    showField(printerName_, page_.printerNameField());
    pageCost_->showModel();
    pageCost_->setEnabled(page_.pageCostEnabled());
}

} // namespace console::ui
