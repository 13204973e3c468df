#include "pdf_receipt_chooser.h"

#include <QPrinter>

namespace console::ui {

QtReceiptPrinter::PrinterChooser pdfChooser(const QString& path, const QPageSize& size, int dotsPerInch)
{
    return [path, size, dotsPerInch](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setResolution(dotsPerInch);
        printer.setPageSize(size);
        return true;
    };
}

QPageSize rollPageSize(double lengthMm)
{
    return QPageSize(QSizeF(80.0, lengthMm), QPageSize::Millimeter, QStringLiteral("Roll 80 mm"),
                     QPageSize::ExactMatch);
}

} // namespace console::ui
