#pragma once
// The desktop's panels (taskbars, docks) on an X11 desktop: every window that
// declares itself a dock (_NET_WM_WINDOW_TYPE_DOCK). The station hides them
// while it is locked and shows them again when it is unlocked.
//
// Lives in its own library (brisko_workstation_x11) so that nothing else
// needs X11.
// One owner thread: the station's window thread.

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

class DesktopPanels {
public:
    // Connects to the display (nullptr: $DISPLAY); an object without a
    // connection when there is none, whose calls then find nothing.
    explicit DesktopPanels(const char* displayName = nullptr);
    ~DesktopPanels();
    DesktopPanels(const DesktopPanels&) = delete;
    DesktopPanels& operator=(const DesktopPanels&) = delete;

    bool hasDisplay() const;
    // Unmaps every dock window; false when none was found.
    bool hide();
    // Maps every dock window again; false when none was found.
    bool show();
    // Dock windows currently known (mapped or not).
    std::size_t count();

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
};

} // namespace platform
