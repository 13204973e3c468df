#pragma once
// The station program `Tamblo` without its window toolkit: the window states
// (locked, unlocked, setup), the handlers of the window's events, the tick
// that polls the link and obeys the console, and the workstation controls
// that go with each state. The window layer forwards its events here, draws
// `view()`, and acts on the outcomes.
//
// Thread contract: the window thread only; nothing here blocks.

#include "client/client_config.h"
#include "client/client_host.h"
#include "client/client_link.h"
#include "client/client_log.h"
#include "client/client_state.h"
#include "client/panel_view.h"
#include "client/power_locks.h"
#include "client/session_stamp_file.h"
#include "client/setup_code_file.h"
#include "client/setup_code_guard.h"
#include "client/station_key.h"
#include "client/station_folders.h"
#include "client/steady_clock.h"
#include "client/workstation.h"

#include <filesystem>
#include <optional>
#include <string>

namespace client {

struct EngineSettings {
    StationFolders folders = StationFolders::allIn(".");
    // Whether the built-in setup code opens setup while the owner has set no
    // code. Never on an installed station, where anyone could know it; only
    // on a demonstration or test station kept in one folder.
    bool builtInSetupCode = true;
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
    // `clock` times the pauses after wrong setup codes.
    ClientEngine(ClientHost& host, Workstation& workstation, const EngineSettings& settings,
                 const SteadyClock& clock = systemSteadyClock());
    ClientEngine(const ClientEngine&) = delete;
    ClientEngine& operator=(const ClientEngine&) = delete;

    // Builds the locked state: task keys blocked, the rectangles computed from
    // the screen, the configuration loaded, the window over the whole screen
    // on top, the cursor hidden. A session kept from before a restart comes
    // back unlocked instead, and is reclaimed once the link is up. No
    // connection is made before the first tick.
    void start(const ScreenGeometry& screen);
    // The machine's power locks to hold with each state (not owned; none by
    // default). Set before start().
    void setPowerLocks(PowerLocks* locks) { powerLocks_ = locks; }
    // The desktop session cannot be locked by a program (Wayland): the locked
    // screen and the log say that the station needs an X11 session. The rest
    // of the station works as usual.
    void noteLockNotEnforced();

    // The tick: the 10 ms timer, or sooner when the link's socket is ready
    // (see nextWake).
    TickOutcome tick();
    // When the next tick has something to do; the window layer may sleep
    // until then, or until the socket is ready.
    LinkWake nextWake() const { return link_.nextWake(); }

    void onMouseMove(int x, int y);
    void onLeftButtonDown(int x, int y);
    PanelClick onLeftButtonUp(int x, int y);
    // One typed character; Enter (13) checks the setup code: the owner's, or
    // the built-in one while the owner has set none and the settings allow it. True when setup mode
    // began: open the configuration dialog. After repeated wrong codes typing
    // is ignored for a while (SetupCodeGuard).
    bool onCharacter(char c);
    // The desktop session is about to end: lock, tell the console "STOP"; the
    // caller refuses the end of the session and shows the window.
    void onQueryEndSession();
    // The window lost the focus.
    void onKillFocus();
    // The system announced its shutdown: a running session ends as on the
    // desktop's end-session request, "STOP" and all, and the shutdown may go on.
    void onSystemShutdown();

    // The end-session dialog.
    EndSessionQuestion endSessionQuestion() const;
    bool endSessionDialogMustClose() const { return state_.locked; }
    // "End Session": locks, forgets the stamp, tells the console "STOP" (not in
    // setup mode) and ends setup mode; nothing once the station is locked.
    void confirmEndSession();

    // The configuration dialog.
    platform::Ipv4Address configuredServerAddress();
    [[nodiscard]] bool storeServerAddress(platform::Ipv4Address server);
    // The cafe's key as the owner typed it: kept in "TambloKey" and used from
    // the next connection on. Why it was not taken, or nullopt.
    [[nodiscard]] std::optional<std::string> storeCafeKey(const std::string& typed);
    // Whether the station holds the cafe's key.
    bool hasCafeKey() const { return hasKey_; }
    // Whether the owner has set a setup code of their own.
    bool hasOwnersSetupCode() const { return setupCode_.status() == SetupCodeFile::Status::OwnersCode; }
    // Whether setup may show the desktop (maintenance): only once the owner's
    // own code is in force, never on the built-in one, which anyone may know.
    bool maintenanceAllowed() const { return hasOwnersSetupCode(); }
    // Sets the owner's setup code, typed twice. Returns why it was not stored,
    // or nullopt when it was.
    [[nodiscard]] std::optional<std::string> changeSetupCode(const std::string& code, const std::string& repeated);

    PanelView view() const;
    const ClientState& state() const { return state_; }
    const ClientLink& link() const { return link_; }
    ClientLog& log() { return log_; }

private:
    bool setupMode() const override { return state_.setupMode; }
    std::string reclaimStamp() const override;

    // The cafe's key from "TambloKey", handed to the link.
    void loadCafeKey();
    void applyState();
    // The stamp in memory and in "TambloSession"; the file is only touched
    // when the stamp changes.
    void setSessionStamp(const std::string& stamp);
    bool checkSetupCode(const std::string& typed);
    // Shows the taskbar and logs whether there was one.
    void showTaskbar();
    bool actOn(const std::string& message);
    void takeSessionInfo(const std::string& message);
    void shutdownSystem();
    void onClose();

    ClientHost& host_;
    Workstation& workstation_;
    std::filesystem::path configFolder_;
    bool builtInSetupCode_;
    bool customerHadDesktop_ = false; // as last applied: unlocked, not in setup
    bool hasKey_ = false;
    ClientLog log_;
    ClientConfig config_;
    SetupCodeFile setupCode_;
    SetupCodeGuard setupGuard_;
    SessionStampFile stampFile_;
    ClientState state_;
    ClientLink link_;
    PowerLocks* powerLocks_ = nullptr;
    bool inTick_ = false;
};

} // namespace client
