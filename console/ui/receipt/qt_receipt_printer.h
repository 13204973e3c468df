#pragma once
// The console's receipt printer: the standard print dialog, then one page on
// the chosen printer, painted in its device pixels. Any print queue works,
// from an A4 office printer to an 80 mm receipt roll. Window thread only.

#include "console/operator_interfaces.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QPrinter;

namespace console::ui {

class QtReceiptPrinter final : public console::ReceiptPrinter {
public:
    // Lets the operator choose and set up the printer; false when cancelled.
    using PrinterChooser = std::function<bool(QPrinter& printer, QWidget* parent)>;

    explicit QtReceiptPrinter(QWidget* parent = nullptr);
    ~QtReceiptPrinter() override;

    void setParentWidget(QWidget* parent);
    // Replaces the print dialog (tests print to a PDF file instead); a chooser
    // of its own counts as a printer being there.
    void setChooser(PrinterChooser chooser);
    // Where the names of the desktop's printers come from (the print system's
    // list unless a test says otherwise).
    using PrinterNames = std::function<QStringList()>;
    void setPrinterNames(PrinterNames names);

    // A printer to choose: one the print system knows, or the chooser's own.
    bool hasPrinter() const override;

    // The printable area (the page layout's paint rectangle) in device pixels
    // at the printer's resolution; nullopt when cancelled or nothing is printable.
    std::optional<console::ReceiptPage> choosePrinter() override;
    // One page on the printer chosen last; false, with the print run aborted,
    // when it could not be finished (or no printer was chosen).
    bool printPage(const console::ReceiptLayout& layout) override;

    // The standard QPrintDialog ("receiptPrintDialog"): all pages, no page
    // numbers, no selection, no current page, no print-to-file.
    static bool showPrintDialog(QPrinter& printer, QWidget* parent);

private:
    QPointer<QWidget> parent_;
    PrinterChooser chooser_;
    bool ownChooser_ = false;
    PrinterNames printerNames_;
    // Kept between receipts, so the dialog offers the printer chosen last.
    std::unique_ptr<QPrinter> printer_;
    bool chosen_ = false;
};

} // namespace console::ui
