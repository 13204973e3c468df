// Receipts printed to PDF through the real QPrinter, on A4 and Letter pages
// and on 80 mm rolls, read back with pdftotext; the painter's device pixels on
// an image; the print dialog and failed print runs.
#include "pdf_receipt_chooser.h"
#include "pdf_words.h"
#include "qt_receipt_printer.h"
#include "receipt_fonts.h"
#include "receipt_painter.h"

#include "console/receipt_layout.h"
#include "store/bill_item.h"

#include <QApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace console::ui::test;

namespace {

const QString kLongDescription =
    "Pages (4): Neighbourhood association newsletter, final draft with all the photographs and the long list of "
    "members.pdf";

console::ReceiptContent sampleReceipt()
{
    return {"Corner Cafe",
            "12 Market Street",
            {{"3", "01 hrs 12 mins 40 secs", "2.50"},
             {"", "Coffee x 2", "3.00"},
             {"", "Tea & Cake", "2.75"},
             {"3", kLongDescription.toStdString(), "0.80"},
             {"", "Blank CD-R", "0.60"}},
            "9.65",
            "20.00",
            "10.35"};
}

struct Printed {
    bool ok = false;
    QString path;
    QRectF area; // the printable area on the page, in points
    int dotsPerInch = 0;
    console::ReceiptLayout layout;
    qreal points(int pixels) const { return pixels * 72.0 / dotsPerInch; }
};

Printed printToPdf(const QString& path, const QPageSize& size, int dotsPerInch, const console::ReceiptContent& content)
{
    Printed printed;
    printed.path = path;
    printed.dotsPerInch = dotsPerInch;
    console::ui::QtReceiptPrinter printer;
    auto toPdf = console::ui::pdfChooser(path, size, dotsPerInch);
    printer.setChooser([&](QPrinter& p, QWidget* parent) {
        const bool chosen = toPdf(p, parent);
        // The paper less its margins, whether or not the printer paints full-page.
        const QPageLayout page = p.pageLayout();
        printed.area = page.fullRect(QPageLayout::Point).marginsRemoved(page.margins(QPageLayout::Point));
        return chosen;
    });
    const std::optional<console::ReceiptPage> page = printer.choosePrinter();
    if (!page)
        return printed;
    printed.layout = console::layOutReceipt(*page, content);
    printed.ok = printer.printPage(printed.layout);
    return printed;
}

QString joined(const std::vector<PdfWord>& words)
{
    QStringList texts;
    for (const PdfWord& w : words)
        texts << w.text;
    return texts.join(' ');
}

QString describe(const PdfWord& w)
{
    return QStringLiteral("\"%1\" at %2,%3-%4,%5")
        .arg(w.text)
        .arg(w.box.left())
        .arg(w.box.top())
        .arg(w.box.right())
        .arg(w.box.bottom());
}

bool anyLineMatches(const QStringList& lines, const QString& pattern)
{
    const QRegularExpression re(pattern);
    for (const QString& line : lines)
        if (re.match(line).hasMatch())
            return true;
    return false;
}

// The columns of ink in `row` of a grey image, as [first, last] dark pixels.
std::pair<int, int> inkAcross(const QImage& image, int row)
{
    int first = -1, last = -1;
    const uchar* line = image.constScanLine(row);
    for (int x = 0; x < image.width(); ++x) {
        if (line[x] < 128) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    return {first, last};
}

// The first and last rows with ink between rows `from` and `to` (exclusive).
std::pair<int, int> inkRows(const QImage& image, int from, int to)
{
    int first = -1, last = -1;
    for (int y = from; y < to; ++y) {
        if (inkAcross(image, y).first >= 0) {
            if (first < 0)
                first = y;
            last = y;
        }
    }
    return {first, last};
}

} // namespace

class ReceiptPrintTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(folder_.isValid()); }

    void printsTheWholeReceiptInsideThePage_data();
    void printsTheWholeReceiptInsideThePage();
    void aBillLongerThanTheRollShrinksToFit();
    void fontsHaveTheLaidOutCellAndAverageWidth();
    void paintsInDevicePixelsOnATwiceSizedPage();
    void theDialogOffersOnlyWholeReceiptsAndCancelPrintsNothing();
    void aCancelledChoiceOrAFailedRunReportsNothingPrinted();

private:
    QTemporaryDir folder_;
};

void ReceiptPrintTest::printsTheWholeReceiptInsideThePage_data()
{
    QTest::addColumn<QPageSize>("size");
    QTest::addColumn<int>("dotsPerInch");
    QTest::newRow("A4 at 300 dpi") << QPageSize(QPageSize::A4) << 300;
    QTest::newRow("A4 at 600 dpi") << QPageSize(QPageSize::A4) << 600;
    // Letter holds the grid twice across but only once down.
    QTest::newRow("Letter at 600 dpi") << QPageSize(QPageSize::Letter) << 600;
    QTest::newRow("80 mm roll at 203 dpi") << console::ui::rollPageSize(200) << 203;
    QTest::newRow("80 mm roll at 600 dpi") << console::ui::rollPageSize(200) << 600;
}

void ReceiptPrintTest::printsTheWholeReceiptInsideThePage()
{
    QFETCH(QPageSize, size);
    QFETCH(int, dotsPerInch);
    const console::ReceiptContent content = sampleReceipt();
    const Printed printed = printToPdf(folder_.filePath("receipt.pdf"), size, dotsPerInch, content);
    QVERIFY(printed.ok);
    const std::vector<PdfPage> pages = pdfWords(printed.path);
    QCOMPARE(pages.size(), std::size_t(1));
    const PdfPage& page = pages.front();

    // Nothing is cut off: every word lies inside the printable area.
    QVERIFY(page.words.size() > 20);
    const QRectF inside = printed.area.adjusted(-0.5, -0.5, 0.5, 0.5);
    for (const PdfWord& w : page.words)
        QVERIFY2(inside.contains(w.box), qPrintable(describe(w)));

    const QStringList text = pdfLayoutLines(printed.path);
    QVERIFY(anyLineMatches(text, R"(^\s*Corner Cafe\s*$)"));
    QVERIFY(anyLineMatches(text, R"(^\s*12 Market Street\s*$)"));
    QVERIFY(anyLineMatches(text, R"(^\s*Description\s+Price\s*$)"));
    QVERIFY(anyLineMatches(text, R"(^\s*Total:\s+9\.65\s*$)"));
    QVERIFY(anyLineMatches(text, R"(^\s*Tendered:\s+20\.00\s*$)"));
    QVERIFY(anyLineMatches(text, R"(^\s*Change:\s+10\.35\s*$)"));

    // Every bill line: its description, whole or elided, and then its price,
    // which the description never reaches.
    qreal previousBottom = 0;
    for (const store::BillItem& item : content.lines) {
        const QString description = QString::fromStdString(item.description);
        const PdfWord* price = findWord(page, QString::fromStdString(item.priceText));
        QVERIFY2(price, item.priceText.c_str());
        std::vector<PdfWord> line = lineOf(page, *price);
        QVERIFY(line.size() >= 2);
        QCOMPARE(line.back().text, price->text);
        line.pop_back();
        QVERIFY2(line.back().box.right() < price->box.left(), qPrintable(describe(line.back())));
        const QString shown = joined(line);
        if (shown.endsWith(QChar(0x2026))) {
            QVERIFY2(shown.size() > 20, qPrintable(shown));
            QVERIFY2(description.startsWith(shown.chopped(1).trimmed()), qPrintable(shown));
        } else {
            QCOMPARE(shown, description);
        }
        // The lines follow each other down the page without overlapping.
        QVERIFY2(price->box.top() >= previousBottom - 0.5, qPrintable(describe(*price)));
        previousBottom = price->box.bottom();
    }
    QVERIFY(anyLineMatches(text, R"(^\s*Tea & Cake\s+2\.75\s*$)"));
    QVERIFY(!anyLineMatches(text, "members\\.pdf"));

    // Painted in the printer's pixels from the printable area's corner: the
    // prices end at unit 1000 and the receipt's titles start at unit 10.
    const console::ReceiptScale& scale = printed.layout.scale;
    const PdfWord* change = findWord(page, "10.35");
    QVERIFY(change);
    QVERIFY2(qAbs(change->box.right() - (printed.area.left() + printed.points(scale.x(1000)))) < 1.0,
             qPrintable(describe(*change)));
    const PdfWord* titles = findWord(page, "Description");
    QVERIFY(titles);
    QVERIFY2(qAbs(titles->box.left() - (printed.area.left() + printed.points(scale.x(10)))) < 1.0,
             qPrintable(describe(*titles)));

    // The column titles are as wide as the laid-out font makes them, so the
    // font's average width (its stretch) reached the PDF.
    const auto& subHeader = std::get<console::ReceiptSetFont>(printed.layout.elements[2]).font;
    QImage probe(8, 8, QImage::Format_Grayscale8);
    const qreal expected =
        QFontMetricsF(console::ui::receiptFont(subHeader, &probe), &probe).horizontalAdvance("Description");
    QVERIFY2(qAbs(titles->box.width() - printed.points(qRound(expected))) < 0.04 * titles->box.width(),
             qPrintable(describe(*titles)));
}

void ReceiptPrintTest::aBillLongerThanTheRollShrinksToFit()
{
    console::ReceiptContent content = sampleReceipt();
    content.lines.clear();
    for (int i = 1; i <= 120; ++i)
        content.lines.push_back({"", "Item " + std::to_string(i), std::to_string(i) + ".25"});
    content.line1 = "A cafe whose name is far too long to fit across any receipt roll at all";
    const Printed printed = printToPdf(folder_.filePath("long.pdf"), console::ui::rollPageSize(200), 203, content);
    QVERIFY(printed.ok);
    const std::vector<PdfPage> pages = pdfWords(printed.path);
    QCOMPARE(pages.size(), std::size_t(1));
    const PdfPage& page = pages.front();
    const QRectF inside = printed.area.adjusted(-0.5, -0.5, 0.5, 0.5);
    for (const PdfWord& w : page.words)
        QVERIFY2(inside.contains(w.box), qPrintable(describe(w)));
    for (int i = 1; i <= 120; ++i)
        QVERIFY2(findWord(page, QStringLiteral("%1.25").arg(i)), qPrintable(QString::number(i)));
    const PdfWord* change = findWord(page, "10.35");
    QVERIFY(change);
    QVERIFY(change->box.top() > findWord(page, "120.25")->box.bottom());
    // The too long name is elided within the page rather than cut at its edges.
    const PdfWord* name = findWord(page, "A");
    QVERIFY(name);
    QVERIFY(joined(lineOf(page, *name)).endsWith(QChar(0x2026)));
}

void ReceiptPrintTest::fontsHaveTheLaidOutCellAndAverageWidth()
{
    QImage device(8, 8, QImage::Format_Grayscale8);
    const console::ReceiptFont fonts[] = {
        {"Tahoma", 700, 144, 56}, {"Arial", 700, 36, 14}, {"Arial", 400, 18, 6}, {"Arial", 400, 32, 20}};
    for (const console::ReceiptFont& wanted : fonts) {
        const QFont font = console::ui::receiptFont(wanted, &device);
        const QFontMetricsF metrics(font, &device);
        const QString name = QStringLiteral("%1 %2/%3").arg(wanted.face.c_str()).arg(wanted.height).arg(wanted.width);
        QVERIFY2(qAbs(metrics.height() - wanted.height) <= std::max(1.0, 0.03 * wanted.height), qPrintable(name));
        QVERIFY2(qAbs(metrics.averageCharWidth() - wanted.width) <= 1.0, qPrintable(name));
        QCOMPARE(font.bold(), wanted.weight == 700);
    }
}

void ReceiptPrintTest::paintsInDevicePixelsOnATwiceSizedPage()
{
    // 4720 x 6776 pixels: the grid twice both ways.
    const console::ReceiptLayout layout = console::layOutReceipt({4720, 6776}, sampleReceipt());
    QImage page(4720, 6776, QImage::Format_Grayscale8);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        console::ui::paintReceipt(painter, layout);
    }
    // The header's font is 144 pixels high and its line starts at 20,20.
    const auto& header = std::get<console::ReceiptSetFont>(layout.elements.front()).font;
    QCOMPARE(header.height, 144);
    const auto [headerTop, headerBottom] = inkRows(page, 0, 180);
    QVERIFY2(headerTop >= 20 && headerTop < 20 + 144 / 3, qPrintable(QString::number(headerTop)));
    QVERIFY2(headerBottom < 20 + 144, qPrintable(QString::number(headerBottom)));
    QVERIFY2(headerBottom - headerTop > 144 / 2, qPrintable(QString::number(headerBottom - headerTop)));

    // The first rule at 20 + 3 x 80, from 20 to 2020, two pixels thick.
    const auto [ruleLeft, ruleRight] = inkAcross(page, 260);
    QCOMPARE(ruleLeft, 20);
    QCOMPARE(ruleRight, 2019);
    QCOMPARE(inkRows(page, 255, 266), std::make_pair(259, 260));

    // "Description" starts at the left edge, 20 pixels in, below the rule.
    int left = page.width();
    for (int y = 262; y < 262 + 72; ++y)
        if (const int first = inkAcross(page, y).first; first >= 0)
            left = std::min(left, first);
    QVERIFY2(left >= 20 && left < 30, qPrintable(QString::number(left)));
}

void ReceiptPrintTest::theDialogOffersOnlyWholeReceiptsAndCancelPrintsNothing()
{
    QWidget window;
    window.setObjectName("consoleWindow");
    console::ui::QtReceiptPrinter printer(&window);
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != "receiptPrintDialog")
            return;
        poll.stop();
        seen = true;
        QCOMPARE(dialog->parentWidget(), &window);
        QVERIFY(!dialog->testOption(QAbstractPrintDialog::PrintToFile));
        QVERIFY(!dialog->testOption(QAbstractPrintDialog::PrintSelection));
        QVERIFY(!dialog->testOption(QAbstractPrintDialog::PrintPageRange));
        QVERIFY(!dialog->testOption(QAbstractPrintDialog::PrintCurrentPage));
        QCOMPARE(dialog->printRange(), QAbstractPrintDialog::AllPages);
        dialog->reject();
    });
    poll.start();
    QTimer::singleShot(10000, &window, [] {
        if (QWidget* stuck = QApplication::activeModalWidget())
            stuck->close();
    });
    QVERIFY(!printer.choosePrinter());
    QVERIFY(seen);
    QVERIFY(!printer.printPage(console::layOutReceipt({2400, 3400}, sampleReceipt())));
}

void ReceiptPrintTest::aCancelledChoiceOrAFailedRunReportsNothingPrinted()
{
    const QString path = folder_.filePath("cancelled.pdf");
    console::ui::QtReceiptPrinter printer;
    auto toPdf = console::ui::pdfChooser(path, QPageSize(QPageSize::A4), 300);
    printer.setChooser([&](QPrinter& p, QWidget* parent) {
        toPdf(p, parent);
        return false;
    });
    QVERIFY(!printer.choosePrinter());
    QVERIFY(!printer.printPage(console::layOutReceipt({2400, 3400}, sampleReceipt())));
    QVERIFY(!QFile::exists(path));

    // A PDF that cannot be written: the run is refused, not reported printed.
    const QString unwritable = folder_.filePath("no such folder/receipt.pdf");
    printer.setChooser(console::ui::pdfChooser(unwritable, QPageSize(QPageSize::A4), 300));
    const std::optional<console::ReceiptPage> page = printer.choosePrinter();
    QVERIFY(page);
    QCOMPARE(page->dotsPerInch, 300);
    QVERIFY(!printer.printPage(console::layOutReceipt(*page, sampleReceipt())));
    QVERIFY(!QFile::exists(unwritable));

    // One page per choice: printing again without choosing prints nothing.
    const QString once = folder_.filePath("once.pdf");
    printer.setChooser(console::ui::pdfChooser(once, QPageSize(QPageSize::A4), 300));
    const std::optional<console::ReceiptPage> again = printer.choosePrinter();
    QVERIFY(again);
    QVERIFY(printer.printPage(console::layOutReceipt(*again, sampleReceipt())));
    QVERIFY(QFile::remove(once));
    QVERIFY(!printer.printPage(console::layOutReceipt(*again, sampleReceipt())));
    QVERIFY(!QFile::exists(once));
}

QTEST_MAIN(ReceiptPrintTest)
#include "receipt_print_test.moc"
