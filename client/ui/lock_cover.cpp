#include "lock_cover.h"

#include "client/texts.h"

#include <QPainter>
#include <QScreen>

namespace client::ui {

LockCover::LockCover(QScreen& screen)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                           Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      screen_(screen)
{
    setObjectName("lockCover");
    setWindowTitle(kWindowTitle);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::BlankCursor);
    fitScreen();
}

void LockCover::fitScreen()
{
    setScreen(&screen_);
    setGeometry(screen_.geometry());
}

void LockCover::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

} // namespace client::ui
