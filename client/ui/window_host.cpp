#include "window_host.h"

#include "client/texts.h"

#include <QMessageBox>

namespace client::ui {

void WindowHost::showMessage(const std::string& text)
{
    QMessageBox box(QMessageBox::Information, kWindowTitle, QString::fromStdString(text), QMessageBox::Ok, &window_);
    // Over covered screens the box bypasses the window manager like the window itself.
    if (window_.windowFlags().testFlag(Qt::X11BypassWindowManagerHint))
        box.setWindowFlags(box.windowFlags() | Qt::X11BypassWindowManagerHint | Qt::WindowStaysOnTopHint);
    box.exec();
}

} // namespace client::ui
