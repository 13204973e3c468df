#include "console_fonts.h"

#include <QApplication>
#include <QFontInfo>

namespace console::ui {

QFont totalFont()
{
    // The large face is sized from the desktop font rather than in pixels, so a
    // desktop scaled for a large screen scales it too.
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    const QFont base = QApplication::font();
    const qreal basePoints = base.pointSizeF() > 0 ? base.pointSizeF() : 9.0;
    font.setPointSizeF(basePoints * 2.2);
    return font;
}

} // namespace console::ui
