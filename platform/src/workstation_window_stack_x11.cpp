#include "platform/workstation_window_stack.h"

#include "x11_error_trap.h"

#include <X11/Xlib.h>

namespace platform {

namespace {

bool changesOrder(int type)
{
    switch (type) {
    case MapNotify:
    case UnmapNotify:
    case ConfigureNotify:
    case CreateNotify:
    case ReparentNotify:
    case CirculateNotify:
        return true;
    default:
        return false;
    }
}

} // namespace

struct WindowStack::Connection {
    Display* display = nullptr;
    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }
};

WindowStack::WindowStack(const char* displayName) : connection_(std::make_unique<Connection>())
{
    connection_->display = XOpenDisplay(displayName);
    if (connection_->display) {
        XSelectInput(connection_->display, DefaultRootWindow(connection_->display), SubstructureNotifyMask);
        XFlush(connection_->display);
    }
}

WindowStack::~WindowStack() = default;

bool WindowStack::hasDisplay() const { return connection_->display != nullptr; }

int WindowStack::fd() const { return hasDisplay() ? ConnectionNumber(connection_->display) : -1; }

bool WindowStack::takeNotices()
{
    if (!hasDisplay())
        return false;
    bool changed = false;
    while (XPending(connection_->display) > 0) {
        XEvent event;
        XNextEvent(connection_->display, &event);
        changed = changed || changesOrder(event.type);
    }
    return changed;
}

bool WindowStack::onTop(const std::vector<WindowId>& windows)
{
    if (!hasDisplay())
        return true;
    Display* d = connection_->display;
    X11ErrorTrap trap(d);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count))
        return false;
    // The children come bottom first.
    bool top = count >= windows.size();
    for (std::size_t i = 0; top && i < windows.size(); ++i)
        top = children[count - 1 - i] == windows[i];
    if (children)
        XFree(children);
    return top;
}

void WindowStack::raise(const std::vector<WindowId>& windows)
{
    if (!hasDisplay() || windows.empty())
        return;
    Display* d = connection_->display;
    X11ErrorTrap trap(d);
    std::vector<Window> order(windows.begin(), windows.end());
    XRaiseWindow(d, order.front());
    if (order.size() > 1)
        XRestackWindows(d, order.data(), static_cast<int>(order.size()));
}

bool WindowStack::restore(WindowId window, int x, int y, int width, int height)
{
    if (!hasDisplay())
        return false;
    Display* d = connection_->display;
    X11ErrorTrap trap(d);
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, window, &a))
        return false;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, window, &root, &parent, &children, &count))
        return false;
    if (children)
        XFree(children);
    bool right =
        parent == root && a.map_state == IsViewable && a.x == x && a.y == y && a.width == width && a.height == height;
    if (right)
        return false;
    if (parent != root)
        XReparentWindow(d, window, root, x, y);
    XMoveResizeWindow(d, window, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XMapWindow(d, window);
    return true;
}

} // namespace platform
