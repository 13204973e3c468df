// Prints a sample receipt to PDF the way the console prints it, on an A4 page
// at 300 dpi and on an 80 mm x 200 mm receipt roll at 203 dpi:
//   render_receipt_sample OUTPUT_FOLDER
// writes OUTPUT_FOLDER/receipt-a4.pdf and OUTPUT_FOLDER/receipt-80mm.pdf.
#include "pdf_receipt_chooser.h"
#include "qt_receipt_printer.h"

#include "console/receipt_layout.h"
#include "store/bill_item.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

console::ReceiptContent sampleReceipt()
{
    return {"Corner Cafe",
            "12 Market Street - open 8 till late",
            {{"3", "01 hrs 12 mins 40 secs", "2.50"},
             {"", "Coffee x 2", "3.00"},
             {"", "Tea & Cake", "2.75"},
             {"3",
              "Pages (4): Neighbourhood association newsletter, final draft with all the photographs and "
              "the list of members.pdf",
              "0.80"},
             {"", "Blank CD-R", "0.60"}},
            "9.65",
            "20.00",
            "10.35"};
}

bool print(const QString& path, const QPageSize& size, int dotsPerInch)
{
    console::ui::QtReceiptPrinter printer;
    printer.setChooser(console::ui::pdfChooser(path, size, dotsPerInch));
    const auto page = printer.choosePrinter();
    if (!page || !printer.printPage(console::layOutReceipt(*page, sampleReceipt()))) {
        std::fprintf(stderr, "could not print %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s: printable area %d x %d pixels at %d dpi\n", qPrintable(path), page->width, page->height,
                dotsPerInch);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_receipt_sample OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool a4 = print(folder.filePath("receipt-a4.pdf"), QPageSize(QPageSize::A4), 300);
    const bool roll = print(folder.filePath("receipt-80mm.pdf"), console::ui::rollPageSize(200), 203);
    return a4 && roll ? 0 : 1;
}
