#include "window_manager_desktop.h"

#include "x11_desktop.h"

#include <X11/Xlib.h>

namespace client::test {

WindowManagerDesktop::WindowManagerDesktop(Display* display)
    : display_(display), openbox_({"/usr/bin/openbox", "--sm-disable"})
{
}

bool WindowManagerDesktop::ready(std::chrono::milliseconds limit)
{
    Atom selection = XInternAtom(display_, "WM_S0", False);
    if (!eventually([&] { return XGetSelectionOwner(display_, selection) != None; }, limit))
        return false;
    tint2_ = std::make_unique<Process>(std::vector<std::string>{"/usr/bin/tint2"});
    return eventually([&] { return windowOfClassMapped(display_, "Tint2"); }, limit);
}

} // namespace client::test
