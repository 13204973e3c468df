#include "qt_beeper.h"

#include <QApplication>

namespace brisko {

void QtBeeper::beep() { QApplication::beep(); }

} // namespace brisko
