#pragma once
// The console's fonts. The total display, the CHARGE button and the day total
// use one large bold face; everything else uses the desktop's own font, so the
// window follows the desktop's scale.

#include <QFont>

namespace console::ui {

// Arial-like, bold, about three lines of the desktop font high.
QFont totalFont();

} // namespace console::ui
