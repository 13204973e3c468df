#include "platform/display_access.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <memory>

namespace platform {

namespace {

// Set by the error handler while the request is answered; one display at a time.
bool refused = false;
int noteRefusal(Display*, XErrorEvent*)
{
    refused = true;
    return 0;
}

} // namespace

std::optional<std::string> grantDisplayTo(const std::string& account)
{
    const char* name = std::getenv("DISPLAY");
    std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display)
        return std::string("the display ") + (name ? name : "(DISPLAY not set)") + " could not be opened";
    static char kType[] = "localuser";
    std::string value = account;
    XServerInterpretedAddress address{static_cast<int>(sizeof kType - 1), static_cast<int>(value.size()), kType,
                                      value.data()};
    XHostAddress host{};
    host.family = FamilyServerInterpreted;
    host.length = sizeof address;
    host.address = reinterpret_cast<char*>(&address);
    refused = false;
    XErrorHandler previous = XSetErrorHandler(noteRefusal);
    XAddHost(display.get(), &host);
    XSync(display.get(), False);
    XSetErrorHandler(previous);
    if (refused)
        return "the display " + std::string(name ? name : "") + " refused to let " + account + " in";
    return std::nullopt;
}

} // namespace platform
