#pragma once
// What the station client changes on the workstation around its window. The
// program's window layer implements it with the desktop's own means; tests
// record the calls.
//
// Thread contract: called on the window thread only.

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
    // A customer's session has ended and the station is locked: whatever the
    // customer left running may be ended for the next one. Nothing by default.
    virtual void customerSessionEnded() {}
};

} // namespace client
