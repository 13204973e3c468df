#include "station_fonts.h"

#include <QFontMetrics>
#include <QStringList>

namespace client::ui {

QFont fontForCell(const QStringList& families, int cellHeight, QFont::Weight weight, int averageWidth)
{
    QFont font;
    font.setFamilies(families);
    font.setWeight(weight);
    font.setStyleStrategy(QFont::PreferAntialias);
    int pixels = cellHeight;
    font.setPixelSize(pixels);
    while (pixels > 6 && QFontMetrics(font).height() > cellHeight)
        font.setPixelSize(--pixels);
    if (averageWidth > 0) {
        int natural = QFontMetrics(font).averageCharWidth();
        if (natural > 0 && natural != averageWidth)
            font.setStretch(qBound(50, 100 * averageWidth / natural, 200));
    }
    return font;
}

StationFonts StationFonts::create()
{
    const QStringList arial = {"Arial", "Liberation Sans", "Nimbus Sans", "DejaVu Sans"};
    const QStringList sansSerif = {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Nimbus Sans",
                                   "DejaVu Sans"};
    return {
        fontForCell(arial, 36, QFont::Bold, 14),
        fontForCell(sansSerif, 15, QFont::Normal),
        fontForCell(sansSerif, 18, QFont::Bold),
    };
}

} // namespace client::ui
