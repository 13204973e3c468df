#include "qt_beeper.h"

#include <QApplication>

namespace console::ui {

void QtBeeper::beep() { QApplication::beep(); }

} // namespace console::ui
