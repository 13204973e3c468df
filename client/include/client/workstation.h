#pragma once
// What the station client changes on the workstation around its window. The
// program's window layer implements it with the desktop's own means; tests
// record the calls.
//
// Thread contract: both interfaces are called on the window thread only.

#include "client/screen_rect.h"

#include <optional>
#include <string>

namespace client {

enum class WindowOrder { Topmost, Bottom };

class Workstation {
public:
    virtual ~Workstation() = default;

    // Shows or hides the desktop's taskbar; false when there is none to find.
    virtual bool showTaskbar() = 0;
    virtual bool hideTaskbar() = 0;
    virtual void setCursorVisible(bool visible) = 0;
    // Moves and sizes the program's window and puts it above all other
    // windows or at the bottom of the window order.
    virtual void placeWindow(const ScreenRect& rect, WindowOrder order) = 0;
    // true blocks the task-switching keys for the whole desktop, false releases them.
    virtual void disableTaskKeys(bool disable) = 0;
    // Asks the system to shut down; the system's error text when it refuses.
    virtual std::optional<std::string> shutdown() = 0;
};

// The window layer's side of the engine's work: keeping the screen alive while
// the link waits, and telling the user something.
class ClientHost {
public:
    virtual ~ClientHost() = default;
    // Handles pending window events (painting, mouse, keys) without waiting;
    // the engine's own tick must not run from inside it. The station's link
    // no longer waits, so it no longer calls this.
    virtual void pumpEvents() = 0;
    virtual void showMessage(const std::string& text) = 0;
};

} // namespace client
