#pragma once
// The station window's three fonts, matched to the cell heights the screens
// were designed for with the nearest faces installed.
//
// Thread contract: the GUI thread only (fonts need the application).

#include <QFont>

namespace client::ui {

struct StationFonts {
    QFont large; // "STATION LOCKED": Arial 36 high, 14 wide, bold
    QFont small; // the panel toggle text: MS Sans Serif 15 high
    QFont panel; // all other panel text: MS Sans Serif 18 high, bold

    static StationFonts create();
};

// A font from the first installed family of the list whose line height is at
// most `cellHeight` pixels; with `averageWidth` > 0 also stretched to that
// average character width.
QFont fontForCell(const QStringList& families, int cellHeight, QFont::Weight weight, int averageWidth = 0);

} // namespace client::ui
