#include "receipt_fonts.h"

#include <QFontMetricsF>

#include <algorithm>

namespace console::ui {

QFont receiptFont(const console::ReceiptFont& wanted, QPaintDevice* device)
{
    QFont font(QString::fromStdString(wanted.face));
    // No style hint: with one, Qt prefers its generic sans-serif face over the
    // stand-in fontconfig names for the face (Nimbus Sans for Arial).
    // No shaping for plain text: no ligatures, so "ff" and "fi" print (and are
    // found again in the PDF) as the letters they are.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferQuality | QFont::PreferNoShaping));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(wanted.weight, 1, 1000)));

    // A receipt font's height is its cell (ascent plus descent), while Qt's
    // pixel size is the em; faces differ in how tall a cell their em makes.
    const int cell = std::max(1, wanted.height);
    font.setPixelSize(cell);
    const qreal measuredCell = QFontMetricsF(font, device).height();
    if (measuredCell > 0)
        font.setPixelSize(std::max(1, qRound(cell * cell / measuredCell)));

    // A stretch may bring in another face of the family (DejaVu Sans Condensed,
    // say) whose own width differs, so the stretch is measured again and corrected.
    for (int pass = 0; pass < 3 && wanted.width > 0; ++pass) {
        const qreal average = QFontMetricsF(font, device).averageCharWidth();
        if (average <= 0 || qAbs(average - wanted.width) < 0.01 * wanted.width)
            break;
        const int stretch = font.stretch() > 0 ? font.stretch() : int(QFont::Unstretched);
        font.setStretch(std::clamp(qRound(stretch * wanted.width / average), 1, 4000));
    }
    return font;
}

} // namespace console::ui
