#pragma once
// Holds the locked station against the desktop on X11. While the station is
// locked, or in setup mode without maintenance, it covers every screen,
// keeps its own windows above any window that appears later (watching the
// window order through its own display connection), holds the keyboard and
// the pointer (retrying until they hold, and taking them again whenever they
// are lost), and turns the X server's console switch and kill keys off. Off,
// it gives all of that back.
//
// Input goes to the top one of the station's windows: an open modal dialog,
// else the station window.
//
// Thread contract: the GUI thread only.

#include "screen_covers.h"

#include "platform/workstation_server_keys.h"
#include "platform/workstation_window_stack.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

class QSocketNotifier;
class QWidget;

namespace client::ui {

enum class LockMode {
    Off,    // the desktop belongs to the customer or to the owner's maintenance
    Locked, // the lock screen over every screen
    Setup,  // the owner's setup panel and dialogs over covered screens
};

class LockKeeper final : public QObject {
    Q_OBJECT
public:
    // `mode` tells the keeper what the station wants; asked on every update().
    // A keeper that is not `active` (no X11 desktop, a demonstration) holds nothing.
    LockKeeper(QWidget& station, bool active, std::function<LockMode()> mode);
    ~LockKeeper() override;

    // After any change of the station's state or windows.
    void update();

    LockMode mode() const { return applied_; }
    // The keyboard and the pointer are both held (by the station's top window).
    bool grabbing() const { return grabbing_; }
    const ScreenCovers& covers() const { return covers_; }
    // Whether the X server's console switch and kill keys are off.
    bool serverKeysOff() const { return serverKeys_ && serverKeys_->disabled(); }

private:
    void onNotices();
    void onKeyboardNotices();
    void check();
    void restack();
    void takeInput();
    void releaseInput();
    QWidget* inputWindow() const;

    QWidget& station_;
    std::function<LockMode()> wanted_;
    LockMode applied_ = LockMode::Off;
    ScreenCovers covers_;
    std::unique_ptr<platform::WindowStack> stack_;
    std::unique_ptr<platform::ServerKeys> serverKeys_;
    std::unique_ptr<QSocketNotifier> notices_;
    std::unique_ptr<QSocketNotifier> keyboardNotices_;
    QTimer checker_;
    QPointer<QWidget> inputHolder_;
    bool grabbing_ = false;
};

} // namespace client::ui
