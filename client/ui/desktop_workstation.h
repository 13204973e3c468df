#pragma once
// The workstation as the station window sees it on a Linux desktop: the
// desktop's dock panels stand in for the taskbar, Hushtab blocks the task
// keys and the lock window holds the keyboard, the cursor is blanked over the
// window, and the window is stacked on top or at the bottom. In windowed
// (demonstration) mode it leaves the desktop alone and never shuts down.

#include "client/workstation.h"
#include "platform/workstation_desktop_panels.h"
#include "platform/workstation_task_keys.h"

#include <QRect>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tamblo {

struct WorkstationSetup {
    bool windowed = false;
    std::optional<client::ScreenRect> windowArea; // windowed: the part of the screen to keep to
    std::filesystem::path libraryFolder;       // where libHushtab.so lives
    std::vector<std::string> shutdownCommand;  // the system's power-off command
};

class DesktopWorkstation final : public client::Workstation {
public:
    DesktopWorkstation(QWidget& window, WorkstationSetup setup);

    bool showTaskbar() override;
    bool hideTaskbar() override;
    void setCursorVisible(bool visible) override;
    void placeWindow(const client::ScreenRect& rect, client::WindowOrder order) override;
    void disableTaskKeys(bool disable) override;
    std::optional<std::string> shutdown() override;

    bool keysDisabled() const { return keysDisabled_; }
    // Takes or releases the window's keyboard grab to match the task keys.
    void updateKeyboardGrab();

private:
    QRect windowedRect(const client::ScreenRect& rect) const;

    QWidget& window_;
    WorkstationSetup setup_;
    platform::TaskKeyLibrary taskKeys_;
    std::unique_ptr<platform::DesktopPanels> panels_;
    bool keysDisabled_ = false;
    bool keyboardGrabbed_ = false;
    bool cursorHidden_ = false;
};

} // namespace tamblo
