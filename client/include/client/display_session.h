#pragma once
// Whether the desktop session lets an ordinary program lock the workstation.
// On Wayland the compositor alone decides about the keyboard, the pointer and
// the window order, so a station client there would only pretend to lock; it
// says so instead. Qt drawing through X11 (xcb, for example on a private X
// server started from a Wayland desktop) or without a screen at all
// (offscreen, minimal) is not affected.
//
// Thread contract: functions without state; any thread.

#include <string>

namespace client {

struct DisplayEnvironment {
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string sessionType;    // XDG_SESSION_TYPE
    std::string qtPlatform;     // the Qt platform plugin in use
};

// The environment of this process, with the Qt platform given by the window layer.
DisplayEnvironment displayEnvironment(const std::string& qtPlatform);
bool needsX11Session(const DisplayEnvironment& environment);

} // namespace client
