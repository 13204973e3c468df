#pragma once
// A printer chooser that prints receipts to a PDF file instead of asking the
// operator: for the sample receipts in the documentation and for tests.

#include "qt_receipt_printer.h"

#include <QPageSize>
#include <QString>

namespace console::ui {

// Sets the printer up for `path` on a page of `size` at `dotsPerInch`, with
// Qt's default margins, and accepts.
QtReceiptPrinter::PrinterChooser pdfChooser(const QString& path, const QPageSize& size, int dotsPerInch);

// An 80 mm wide receipt roll cut at `lengthMm`.
QPageSize rollPageSize(double lengthMm);

} // namespace console::ui
