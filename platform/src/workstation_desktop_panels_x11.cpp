#include "platform/workstation_desktop_panels.h"

#include "x11_error_trap.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <vector>

namespace platform {

struct DesktopPanels::Connection {
    Display* display = nullptr;
    Atom windowType = None;
    Atom dockType = None;

    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }

    bool isDock(Window window) const
    {
        Atom actualType = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, windowType, 0, 32, False, XA_ATOM, &actualType, &format, &items, &after,
                               &data) != Success)
            return false;
        bool dock = false;
        if (data && actualType == XA_ATOM && format == 32) {
            auto* atoms = reinterpret_cast<Atom*>(data);
            for (unsigned long i = 0; i < items; ++i)
                dock = dock || atoms[i] == dockType;
        }
        if (data)
            XFree(data);
        return dock;
    }

    // Dock windows among the top-level windows and, under a window manager
    // that frames its clients, the frames' children.
    void collect(Window window, int depth, std::vector<Window>& docks) const
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &n))
            return;
        for (unsigned int i = 0; i < n; ++i) {
            if (isDock(children[i]))
                docks.push_back(children[i]);
            else if (depth > 1)
                collect(children[i], depth - 1, docks);
        }
        if (children)
            XFree(children);
    }

    std::vector<Window> docks() const
    {
        std::vector<Window> found;
        collect(DefaultRootWindow(display), 3, found);
        return found;
    }

    // Maps or unmaps every dock window; whether there was one.
    bool setDocksMapped(bool mapped) const
    {
        X11ErrorTrap trap(display);
        auto found = docks();
        for (Window w : found) {
            if (mapped)
                XMapWindow(display, w);
            else
                XUnmapWindow(display, w);
        }
        return !found.empty();
    }
};

DesktopPanels::DesktopPanels(const char* displayName) : connection_(std::make_unique<Connection>())
{
    connection_->display = XOpenDisplay(displayName);
    if (connection_->display) {
        connection_->windowType = XInternAtom(connection_->display, "_NET_WM_WINDOW_TYPE", False);
        connection_->dockType = XInternAtom(connection_->display, "_NET_WM_WINDOW_TYPE_DOCK", False);
    }
}

DesktopPanels::~DesktopPanels() = default;

bool DesktopPanels::hasDisplay() const { return connection_->display != nullptr; }

std::size_t DesktopPanels::count()
{
    if (!hasDisplay())
        return 0;
    X11ErrorTrap trap(connection_->display);
    return connection_->docks().size();
}

bool DesktopPanels::hide() { return hasDisplay() && connection_->setDocksMapped(false); }

bool DesktopPanels::show() { return hasDisplay() && connection_->setDocksMapped(true); }

} // namespace platform
