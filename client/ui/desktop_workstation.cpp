#include "desktop_workstation.h"

#include "platform/notice_pipe.h"
#include "client/restart_policy.h"

#include "client/screen_rect.h"
#include "platform/workstation_shutdown.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace client::ui {

DesktopWorkstation::DesktopWorkstation(QWidget& window, WorkstationSetup setup)
    : window_(window), setup_(std::move(setup))
{
    if (setup_.windowed)
        return;
    taskKeys_ = platform::TaskKeyLibrary::load(setup_.libraryFolder);
    // The dock panels are only looked for on a real X11 desktop.
    if (QGuiApplication::platformName() == "xcb")
        panels_ = std::make_unique<platform::DesktopPanels>();
}

bool DesktopWorkstation::showTaskbar() { return panels_ && panels_->show(); }

bool DesktopWorkstation::hideTaskbar() { return panels_ && panels_->hide(); }

void DesktopWorkstation::setCursorVisible(bool visible)
{
    if (setup_.windowed || visible != cursorHidden_)
        return;
    if (visible)
        QGuiApplication::restoreOverrideCursor();
    else
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    cursorHidden_ = !visible;
}

QRect DesktopWorkstation::windowedRect(const client::ScreenRect& rect) const
{
    QRect r(rect.left, rect.top, rect.width(), rect.height());
    if (setup_.windowArea) {
        // Several stations share one screen: each keeps to its own area, with
        // the session panel in the area's bottom-right corner.
        const client::ScreenRect& a = *setup_.windowArea;
        QRect area(a.left, a.top, a.width(), a.height());
        if (rect.width() <= client::kPanelSize)
            return QRect(area.right() + 1 - r.width(), area.bottom() + 1 - r.height(), r.width(), r.height());
        return area;
    }
    if (rect.width() <= client::kPanelSize)
        return r;
    // The locked screen in a window of its own, in the middle of the screen.
    QRect available = window_.screen() ? window_.screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    QSize size(std::min(960, available.width() - 40), std::min(600, available.height() - 80));
    QRect demo(QPoint(0, 0), size);
    demo.moveCenter(available.center());
    return demo;
}

void DesktopWorkstation::attachLock(std::function<bool()> covering, std::function<void()> placed)
{
    covering_ = std::move(covering);
    placed_ = std::move(placed);
}

void DesktopWorkstation::placeAgain()
{
    if (lastPlace_)
        placeWindow(lastPlace_->first, lastPlace_->second);
}

void DesktopWorkstation::placeWindow(const client::ScreenRect& rect, client::WindowOrder order)
{
    lastPlace_ = std::make_pair(rect, order);
    bool top = order == client::WindowOrder::Topmost;
    Qt::WindowFlags flags = Qt::Window;
    if (!setup_.windowed) {
        flags = Qt::Tool | Qt::FramelessWindowHint | (top ? Qt::WindowStaysOnTopHint : Qt::WindowStaysOnBottomHint);
        // Covering, the window manager gets no hold on the window: no virtual
        // desktop, window list or close command reaches it.
        if (covering_ && covering_())
            flags |= Qt::X11BypassWindowManagerHint;
    }
    if (window_.windowFlags() != flags)
        window_.setWindowFlags(flags); // hides the window; shown again below

    QRect target = setup_.windowed ? windowedRect(rect) : QRect(rect.left, rect.top, rect.width(), rect.height());
    window_.setGeometry(target);
    window_.show();
    if (top) {
        window_.raise();
        // A windowed station shares its desktop with other programs (a
        // demonstration runs the console and several stations on one screen):
        // it never takes the keyboard away from them.
        if (!setup_.windowed)
            window_.activateWindow();
    } else {
        window_.lower();
    }
    if (placed_)
        placed_();
}

void DesktopWorkstation::disableTaskKeys(bool disable)
{
    keysDisabled_ = disable;
    if (!setup_.windowed)
        taskKeys_.disableTaskKeys(disable);
}

void DesktopWorkstation::customerSessionEnded()
{
    // Only a supervisor started with a customers' account passes the pipe;
    // without one there is nothing to tell.
    (void)platform::sendNotice(client::kNoticeFdVariable, client::kSessionEndedNotice);
}

std::optional<std::string> DesktopWorkstation::shutdown()
{
    if (setup_.windowed)
        return std::nullopt; // a demonstration never switches the machine off
    return platform::requestPowerOff(setup_.shutdownCommand);
}

} // namespace client::ui
