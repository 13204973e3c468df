#pragma once
// The station program's state: the lock state, setup mode, the panel's
// figures and the session stamp. One main window object holds all of it.
//
// Thread contract: a plain value, kept and read on the window thread.

#include "client/panel_view.h"
#include "client/screen_rect.h"

#include <optional>
#include <string>

namespace client {

inline constexpr const char* kSetupCode = "k7#w";

struct ClientState {
    bool locked = true;
    bool setupMode = false;
    bool panelOnTop = true;
    bool cursorShown = false;
    bool quitRequested = false;
    bool endSessionQuerySeen = false;
    std::optional<WindowPoint> pointer;
    bool endSessionBoxPressed = false;
    bool panelBoxPressed = false;
    std::string typedCharacters;

    std::string duration = "00:00";
    std::string accessCost = "0.00";
    std::string extras = "0.00";
    std::string total = "0.00";
    std::string sessionStamp; // empty when no session is known
    // Set when the desktop session cannot be locked: the locked screen says so.
    std::string lockNotice;

    ScreenRect fullScreen;
    ScreenRect panel;
};

} // namespace client
