#pragma once
// The workstation as the station window sees it on a Linux desktop: the
// desktop's dock panels stand in for the taskbar, Hushtab blocks the task
// keys, the cursor is blanked over the window, and the window is stacked on
// top or at the bottom. While the desktop is to be covered the window
// bypasses the window manager, and the lock keeper (told after every
// placement) holds the keyboard and the pointer. In windowed (demonstration)
// mode it leaves the desktop alone and never shuts down.
//
// Thread contract: the GUI thread only.

#include "client/workstation.h"
#include "platform/workstation_desktop_panels.h"
#include "platform/workstation_task_keys.h"

#include <QRect>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace client::ui {

struct WorkstationSetup {
    bool windowed = false;
    std::optional<client::ScreenRect> windowArea; // windowed: the part of the screen to keep to
    std::filesystem::path libraryFolder;          // where libHushtab.so lives
    std::vector<std::string> shutdownCommand;     // the system's power-off command
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
    // Tells the station's supervisor, which cleans the customer's account
    // when the owner asked for that.
    void customerSessionEnded() override;

    bool keysDisabled() const { return keysDisabled_; }
    // `covering` says whether the desktop is to be covered now; `placed`
    // runs after every placement of the window.
    void attachLock(std::function<bool()> covering, std::function<void()> placed);
    // The last placement again, for a change of `covering`.
    void placeAgain();

private:
    QRect windowedRect(const client::ScreenRect& rect) const;

    QWidget& window_;
    WorkstationSetup setup_;
    platform::TaskKeyLibrary taskKeys_;
    std::unique_ptr<platform::DesktopPanels> panels_;
    std::function<bool()> covering_;
    std::function<void()> placed_;
    std::optional<std::pair<client::ScreenRect, client::WindowOrder>> lastPlace_;
    bool keysDisabled_ = false;
    bool cursorHidden_ = false;
};

} // namespace client::ui
