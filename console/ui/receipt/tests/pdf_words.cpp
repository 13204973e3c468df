#include "pdf_words.h"

#include <QProcess>
#include <QXmlStreamReader>

#include <algorithm>

namespace console::ui::test {

namespace {

QByteArray runPdfToText(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(PDFTOTEXT_PROGRAM), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

qreal number(const QXmlStreamAttributes& attributes, const char* name)
{
    return attributes.value(QLatin1String(name)).toDouble();
}

} // namespace

std::vector<PdfPage> pdfWords(const QString& pdfPath)
{
    std::vector<PdfPage> pages;
    QXmlStreamReader xml(runPdfToText({QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")}));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("page")) {
            pages.push_back({QSizeF(number(a, "width"), number(a, "height")), {}});
        } else if (xml.name() == QLatin1String("word") && !pages.empty()) {
            const QRectF box(QPointF(number(a, "xMin"), number(a, "yMin")),
                             QPointF(number(a, "xMax"), number(a, "yMax")));
            pages.back().words.push_back({xml.readElementText(), box});
        }
    }
    return pages;
}

QStringList pdfLayoutLines(const QString& pdfPath)
{
    return QString::fromUtf8(runPdfToText({QStringLiteral("-layout"), pdfPath, QStringLiteral("-")})).split('\n');
}

std::vector<PdfWord> lineOf(const PdfPage& page, const PdfWord& word)
{
    std::vector<PdfWord> line;
    for (const PdfWord& w : page.words) {
        const qreal middle = w.box.center().y();
        if (middle > word.box.top() && middle < word.box.bottom())
            line.push_back(w);
    }
    std::sort(line.begin(), line.end(), [](const PdfWord& a, const PdfWord& b) { return a.box.left() < b.box.left(); });
    return line;
}

const PdfWord* findWord(const PdfPage& page, const QString& text)
{
    for (const PdfWord& w : page.words)
        if (w.text == text)
            return &w;
    return nullptr;
}

} // namespace console::ui::test
