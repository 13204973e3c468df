#include "qt_receipt_printer.h"

#include "receipt_painter.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace console::ui {

QtReceiptPrinter::QtReceiptPrinter(QWidget* parent)
    : parent_(parent), chooser_(&QtReceiptPrinter::showPrintDialog), printerNames_(&QPrinterInfo::availablePrinterNames)
{
}

QtReceiptPrinter::~QtReceiptPrinter() = default;

void QtReceiptPrinter::setParentWidget(QWidget* parent) { parent_ = parent; }

void QtReceiptPrinter::setChooser(PrinterChooser chooser)
{
    ownChooser_ = static_cast<bool>(chooser);
    chooser_ = chooser ? std::move(chooser) : PrinterChooser(&QtReceiptPrinter::showPrintDialog);
}

void QtReceiptPrinter::setPrinterNames(PrinterNames names)
{
    printerNames_ = names ? std::move(names) : PrinterNames(&QPrinterInfo::availablePrinterNames);
}

bool QtReceiptPrinter::hasPrinter() const { return ownChooser_ || !printerNames_().isEmpty(); }

bool QtReceiptPrinter::showPrintDialog(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName("receiptPrintDialog");
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<console::ReceiptPage> QtReceiptPrinter::choosePrinter()
{
    chosen_ = false;
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Not full-page: the painter's origin is the top left of the printable
    // area, so the layout's pixels count from where the printer can print.
    printer_->setFullPage(false);
    if (!chooser_(*printer_, parent_.data()))
        return std::nullopt;
    const int dotsPerInch = printer_->resolution();
    const QRect area = printer_->pageLayout().paintRectPixels(dotsPerInch);
    if (area.isEmpty())
        return std::nullopt;
    chosen_ = true;
    return console::ReceiptPage{area.width(), area.height(), dotsPerInch};
}

bool QtReceiptPrinter::printPage(const console::ReceiptLayout& layout)
{
    if (!printer_ || !chosen_)
        return false;
    chosen_ = false;
    printer_->setDocName(QString::fromStdString(layout.documentName));
    QPainter painter;
    if (!painter.begin(printer_.get()))
        return false;
    paintReceipt(painter, layout);
    if (printer_->printerState() == QPrinter::Error) {
        printer_->abort();
        painter.end();
        return false;
    }
    return painter.end() && printer_->printerState() != QPrinter::Error;
}

} // namespace console::ui
