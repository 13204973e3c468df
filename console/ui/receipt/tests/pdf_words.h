#pragma once
// What pdftotext reads back from a printed PDF: each page's words with their
// boxes (in points, origin at the top left) and the page as laid-out text.

#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

namespace console::ui::test {

struct PdfWord {
    QString text;
    QRectF box;
};

struct PdfPage {
    QSizeF size;
    std::vector<PdfWord> words;
};

// Empty when pdftotext fails.
std::vector<PdfPage> pdfWords(const QString& pdfPath);
// `pdftotext -layout`, one entry per line.
QStringList pdfLayoutLines(const QString& pdfPath);

// The words whose vertical middles lie within the box of `word` (one printed line), left to right.
std::vector<PdfWord> lineOf(const PdfPage& page, const PdfWord& word);
// The first word reading `text`, or nullptr.
const PdfWord* findWord(const PdfPage& page, const QString& text);

} // namespace console::ui::test
