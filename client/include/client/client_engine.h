#pragma once
// The station program `Tamblo` without its window toolkit: the window states
// (locked, unlocked, setup), the handlers of the window's events, the tick
// that polls the link and obeys the console, and the workstation controls
// that go with each state. The window layer forwards its events here, draws
// `view()`, and acts on the outcomes.

#include "client/client_config.h"
#include "client/client_link.h"
#include "client/client_log.h"
#include "client/client_state.h"
#include "client/panel_view.h"
#include "client/workstation.h"

#include <filesystem>
#include <string>

namespace client {

struct EngineSettings {
    std::filesystem::path folder = "."; // "Tamblo.log" and "TambloConfig" live here
    LinkSettings link;
};

enum class TickOutcome {
    Nothing,        // nothing changed
    ShowAndRepaint, // show the window in its normal place and repaint it
    Close,          // the program ends now
};

enum class PanelClick {
    None,
    OpenEndSessionDialog,
    PanelToggled, // the window moved in the window order; repaint
};

struct EndSessionQuestion {
    std::string title;
    std::string text;
};

class ClientEngine final : private LinkSession {
public:
    ClientEngine(ClientHost& host, Workstation& workstation, EngineSettings settings);
    ClientEngine(const ClientEngine&) = delete;
    ClientEngine& operator=(const ClientEngine&) = delete;

    // Builds the locked state: task keys blocked, the rectangles computed from
    // the screen, the configuration loaded, the window over the whole screen
    // on top, the cursor hidden. No connection is made before the first tick.
    void start(const ScreenGeometry& screen);

    // The 10 ms timer.
    TickOutcome tick();

    void onMouseMove(int x, int y);
    void onLeftButtonDown(int x, int y);
    PanelClick onLeftButtonUp(int x, int y);
    // One typed character; Enter (13) checks the setup code. True when setup
    // mode began: open the configuration dialog.
    bool onCharacter(char c);
    // The desktop session is about to end: lock, tell the console "STOP"; the
    // caller refuses the end of the session and shows the window.
    void onQueryEndSession();
    // The window lost the focus.
    void onKillFocus();

    // The end-session dialog.
    EndSessionQuestion endSessionQuestion() const;
    bool endSessionDialogMustClose() const { return state_.m_bLocked; }
    // "End Session": locks, forgets the stamp, tells the console "STOP" (not in
    // setup mode) and ends setup mode; nothing once the station is locked.
    void confirmEndSession();

    // The configuration dialog.
    platform::Ipv4Address configuredServerAddress();
    bool storeServerAddress(platform::Ipv4Address server);

    PanelView view() const;
    const ClientState& state() const { return state_; }
    const ClientLink& link() const { return link_; }
    ClientLog& log() { return log_; }

private:
    bool setupMode() const override { return state_.setupMode; }
    std::string reclaimStamp() const override;

    void applyState();
    // Shows the taskbar and logs whether there was one.
    void showTaskbar();
    bool actOn(const std::string& message);
    void takeSessionInfo(const std::string& message);
    void shutdownSystem();
    void onClose();

    ClientHost& host_;
    Workstation& workstation_;
    ClientLog log_;
    ClientConfig config_;
    ClientState state_;
    ClientLink link_;
    bool inTick_ = false;
};

} // namespace client
