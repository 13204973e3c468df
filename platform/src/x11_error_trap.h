#pragma once
// While an X11ErrorTrap lives, X errors on its display are ignored: a window or
// a keyboard may vanish between a question to the server and its answer, and
// that only means "not there". The destructor syncs, so errors of the calls
// made under the trap are taken while it still holds. One thread per display.

#include <X11/Xlib.h>

namespace platform {

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display) : display_(display), previous_(XSetErrorHandler(ignore)) {}
    ~X11ErrorTrap()
    {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

private:
    static int ignore(Display*, XErrorEvent*) { return 0; }

    Display* display_;
    XErrorHandler previous_;
};

} // namespace platform
