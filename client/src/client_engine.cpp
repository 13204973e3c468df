// Some log lines name Windows things and old handlers on every desktop
// ("Shell_TrayWnd", "m_bLocked(true)", "OnClose() called."): the log lines are
// part of what the station shows (tests and the console operator's support
// read them word for word), so they keep their exact old texts.
#include "client/client_engine.h"

#include "client/display_session.h"
#include "client/texts.h"
#include "flag_scope.h"
#include "link/protocol.h"

#include <utility>

namespace client {

namespace {

// Longer than the longest setup code: such text can never match.
constexpr std::size_t kTypedLimit = SetupCodeFile::kLongestCode + 8;

} // namespace

ClientEngine::ClientEngine(ClientHost& host, Workstation& workstation, const EngineSettings& settings,
                           const SteadyClock& clock)
    : host_(host),
      workstation_(workstation),
      configFolder_(settings.folders.config),
      builtInSetupCode_(settings.builtInSetupCode),
      log_(settings.folders.log / kLogFileName),
      config_(settings.folders.config / kConfigFileName),
      setupCode_(settings.folders.config / kSetupCodeFileName),
      setupGuard_(clock),
      stampFile_(settings.folders.state / kSessionStampFileName),
      link_(log_, *this, settings.link)
{
}

void ClientEngine::start(const ScreenGeometry& screen)
{
    workstation_.disableTaskKeys(true);
    std::string notice = state_.lockNotice;
    state_ = ClientState{};
    state_.lockNotice = notice;
    state_.fullScreen = fullScreenRect(screen);
    state_.panel = panelRect(screen);
    // An unopened "TambloConfig" reads as 0.0.0.0: the station stays
    // unconfigured and makes no connection, which is all there is to do.
    (void)config_.load();
    link_.setServerAddress(config_.serverAddress());
    loadCafeKey();
    // Unopened, the built-in code is in force; unreadable, the file counts as
    // damaged: status() tells which, and the damage is logged below.
    (void)setupCode_.load();
    if (setupCode_.status() == SetupCodeFile::Status::Damaged)
        log_.logLine("TambloSetup is damaged: no setup code is accepted until it is deleted.");
    else if (setupCode_.status() == SetupCodeFile::Status::BuiltIn && !builtInSetupCode_)
        log_.logLine("No setup code is set: the owner sets one with tamblo-setup.");
    // Restarted during a session (killed, crashed): the session goes on, and
    // the first connection reclaims it with "STARTED" as after a link loss.
    // Without a console address nobody could lock the station again, so the
    // kept session only counts when the station will connect.
    std::string kept = stampFile_.load();
    if (!kept.empty() && !config_.isConfigured()) {
        if (!stampFile_.store({}))
            log_.logLine("TambloSession could not be written.");
    } else
        state_.sessionStamp = kept;
    if (!state_.sessionStamp.empty()) {
        state_.locked = false;
        log_.logLine("Session " + state_.sessionStamp + " kept from before the restart.");
    }
    // The whole locked state from the first moment, taskbar included.
    applyState();
    workstation_.setCursorVisible(!state_.locked);
    state_.cursorShown = !state_.locked;
}

void ClientEngine::loadCafeKey()
{
    auto reading = readStationKey(configFolder_);
    hasKey_ = reading.key.has_value();
    link_.setKey(reading.key);
    if (reading.problem.empty())
        return;
    // Without its key the station would obey any console: it talks to none
    // until the key is typed again in setup.
    link_.setServerAddress({});
    log_.logLine(std::string(kKeyFileName) + ": " + reading.problem +
                 " No console is reached until the key is set again.");
}

std::optional<std::string> ClientEngine::storeCafeKey(const std::string& typed)
{
    if (auto problem = storeStationKey(configFolder_, typed))
        return problem;
    log_.logLine("The cafe's key is set.");
    link_.setServerAddress(config_.serverAddress());
    loadCafeKey();
    // The link goes on with the key from its next connection.
    link_.reset();
    return std::nullopt;
}

void ClientEngine::noteLockNotEnforced()
{
    state_.lockNotice = kNeedsX11Text;
    log_.logLine(std::string(kNeedsX11Text) + ": this desktop session is Wayland, where the lock cannot be enforced.");
}

void ClientEngine::setSessionStamp(const std::string& stamp)
{
    if (stamp == state_.sessionStamp)
        return;
    state_.sessionStamp = stamp;
    if (!stampFile_.store(stamp))
        log_.logLine("TambloSession could not be written.");
}

std::string ClientEngine::reclaimStamp() const { return state_.locked ? std::string() : state_.sessionStamp; }

void ClientEngine::applyState()
{
    // The end of a customer's use of the desktop, however it came (the
    // console's LOCK, the panel, a log-off): the workstation may clean up.
    const bool customerUses = !state_.locked && !state_.setupMode;
    if (customerHadDesktop_ && state_.locked)
        workstation_.customerSessionEnded();
    customerHadDesktop_ = customerUses;
    if (!state_.locked || state_.setupMode) {
        workstation_.disableTaskKeys(false);
        showTaskbar();
        workstation_.placeWindow(state_.panel, state_.panelOnTop ? WindowOrder::Topmost : WindowOrder::Bottom);
    } else {
        workstation_.disableTaskKeys(true);
        if (workstation_.hideTaskbar())
            log_.logLine("Found Shell_TrayWnd, hiding.");
        else
            log_.logLine("m_bLocked(true): Didn't find Shell_TrayWnd.");
        workstation_.placeWindow(state_.fullScreen, WindowOrder::Topmost);
    }
    bool wanted = !state_.locked;
    if (state_.cursorShown != wanted) {
        workstation_.setCursorVisible(wanted);
        state_.cursorShown = wanted;
    }
    // The power keys are held while the workstation is held; a shutdown is
    // delayed while a session runs.
    if (powerLocks_) {
        bool held = state_.locked && !state_.setupMode;
        bool session = !state_.locked && !state_.setupMode;
        powerLocks_->hold(held, session);
    }
}

void ClientEngine::showTaskbar()
{
    if (workstation_.showTaskbar())
        log_.logLine("Found Shell_TrayWnd, showing.");
    else
        log_.logLine("m_bLocked(false): Didn't find Shell_TrayWnd.");
}

TickOutcome ClientEngine::tick()
{
    // A tick that arrives while a message box of this tick is open is dropped.
    if (inTick_)
        return TickOutcome::Nothing;
    FlagScope scope(inTick_);

    bool acted = false;
    if (powerLocks_ && powerLocks_->shutdownAnnounced()) {
        onSystemShutdown();
        acted = true;
    }
    if (auto message = link_.poll())
        acted = actOn(*message) || acted;
    if (!acted && !state_.endSessionQuerySeen)
        return TickOutcome::Nothing;

    state_.endSessionQuerySeen = false;
    if (state_.quitRequested) {
        onClose();
        return TickOutcome::Close;
    }
    return TickOutcome::ShowAndRepaint;
}

bool ClientEngine::actOn(const std::string& message)
{
    using Kind = stationlink::ServerMessageKind;
    switch (stationlink::classifyServerMessage(message)) {
    case Kind::Empty:
        return false;
    case Kind::Unlock:
        state_.locked = false;
        state_.panelOnTop = true;
        applyState();
        return true;
    case Kind::Lock:
        state_.locked = true;
        setSessionStamp({});
        applyState();
        return true;
    case Kind::Quit:
        state_.quitRequested = true;
        return true;
    case Kind::Shutdown:
        state_.quitRequested = true;
        shutdownSystem();
        return true;
    case Kind::ServerDown:
        link_.reset();
        return false;
    case Kind::SessionInfo:
        takeSessionInfo(message);
        return true;
    }
    return false;
}

void ClientEngine::takeSessionInfo(const std::string& message)
{
    // The parser never reads past the message and cuts every figure to its slot.
    auto info = stationlink::parseSessionInfoMessage(message);
    state_.duration = info.duration;
    state_.accessCost = info.accessCost;
    state_.extras = info.extras;
    state_.total = info.total;
    // Text that is no session info (two messages run together, say) must not
    // cost the station the stamp it reclaims its session with. A stamp that
    // arrives while locked belongs to a session that has ended here: keeping
    // it would let the next unlock reclaim that session.
    if (info.wellFormed && !state_.locked)
        setSessionStamp(info.stamp);
}

void ClientEngine::shutdownSystem()
{
    if (auto failure = workstation_.shutdown())
        host_.showMessage(*failure);
}

void ClientEngine::onClose()
{
    log_.logLine("OnClose() called.");
    showTaskbar();
    link_.closeConnection();
}

void ClientEngine::onMouseMove(int x, int y) { state_.pointer = WindowPoint{x, y}; }

void ClientEngine::onLeftButtonDown(int x, int y)
{
    if (state_.locked)
        return;
    if (panel::inEndSessionBox(x, y))
        state_.endSessionBoxPressed = true;
    if (panel::inToggleBox(x, y))
        state_.panelBoxPressed = true;
}

PanelClick ClientEngine::onLeftButtonUp(int x, int y)
{
    bool endPressed = std::exchange(state_.endSessionBoxPressed, false);
    bool togglePressed = std::exchange(state_.panelBoxPressed, false);
    if (state_.locked)
        return PanelClick::None;
    if (endPressed && panel::inEndSessionBox(x, y))
        return PanelClick::OpenEndSessionDialog;
    if (togglePressed && panel::inToggleBox(x, y)) {
        state_.panelOnTop = !state_.panelOnTop;
        applyState();
        return PanelClick::PanelToggled;
    }
    return PanelClick::None;
}

bool ClientEngine::onCharacter(char c)
{
    if (setupGuard_.isPaused()) {
        state_.typedCharacters.clear();
        return false;
    }
    if (c != '\r') {
        if (state_.typedCharacters.size() < kTypedLimit)
            state_.typedCharacters += c;
        return false;
    }
    std::string typed = std::exchange(state_.typedCharacters, {});
    if (!checkSetupCode(typed))
        return false;
    state_.setupMode = true;
    state_.locked = false;
    applyState();
    link_.sendSetupState(true);
    return true;
}

bool ClientEngine::checkSetupCode(const std::string& typed)
{
    // A bare Enter tries nothing and costs nothing.
    if (typed.empty())
        return false;
    const bool refusedBuiltIn = setupCode_.status() == SetupCodeFile::Status::BuiltIn && !builtInSetupCode_;
    if (!refusedBuiltIn && setupCode_.matches(typed)) {
        setupGuard_.recordMatch();
        return true;
    }
    auto pause = setupGuard_.recordWrongTry();
    if (pause.count() > 0)
        log_.logLine("Wrong setup code " + std::to_string(setupGuard_.wrongTries()) + " times: typing ignored for " +
                     std::to_string(pause.count()) + " s.");
    return false;
}

void ClientEngine::onQueryEndSession()
{
    log_.logLine("OnQueryEndSession() called.");
    state_.locked = true;
    // The console ends the session on "STOP"; its stamp must not be reclaimed later.
    setSessionStamp({});
    applyState();
    link_.sendStop();
    state_.endSessionQuerySeen = true;
}

void ClientEngine::onSystemShutdown()
{
    log_.logLine("The system is shutting down.");
    if (!state_.locked && !state_.setupMode) {
        state_.locked = true;
        setSessionStamp({});
        link_.sendStop();
    }
    // Locked: the shutdown delay is released and the machine goes down.
    applyState();
}

void ClientEngine::onKillFocus()
{
    if (state_.locked)
        applyState();
}

EndSessionQuestion ClientEngine::endSessionQuestion() const
{
    if (state_.setupMode)
        return {kExitSetupTitle, kExitSetupQuestion};
    return {kEndSessionTitle, kEndSessionQuestion};
}

void ClientEngine::confirmEndSession()
{
    // The station was locked while the dialog was still open (a "LOCK" handled
    // just before the click): the dialog closes without effect, no "STOP".
    if (state_.locked)
        return;
    state_.locked = true;
    setSessionStamp({});
    if (!state_.setupMode)
        link_.sendStop();
    else
        link_.sendSetupState(false);
    state_.setupMode = false;
    applyState();
}

platform::Ipv4Address ClientEngine::configuredServerAddress()
{
    // Unopened, the address reads as 0.0.0.0, the unset address the dialog shows.
    if (!config_.isOpen())
        (void)config_.load();
    return config_.serverAddress();
}

bool ClientEngine::storeServerAddress(platform::Ipv4Address server)
{
    if (!config_.store(server))
        return false;
    link_.setServerAddress(server);
    return true;
}

std::optional<std::string> ClientEngine::changeSetupCode(const std::string& code, const std::string& repeated)
{
    if (auto problem = SetupCodeFile::problemWith(code))
        return problem;
    if (code != repeated)
        return kCodesDifferMessage;
    if (!setupCode_.store(code)) {
        log_.logLine("TambloSetup could not be written.");
        return kCodeNotSavedMessage;
    }
    log_.logLine("Owner's setup code set.");
    return std::nullopt;
}

PanelView ClientEngine::view() const
{
    PanelView v;
    v.locked = state_.locked;
    v.setupMode = state_.setupMode;
    v.pointer = state_.pointer;
    v.lockedText = state_.lockNotice.empty() ? std::string(kLockedText) : state_.lockNotice;
    v.title = state_.setupMode ? kSetupPanelTitle : kSessionPanelTitle;
    v.showFigures = !state_.setupMode;
    v.duration = state_.duration;
    v.accessCost = state_.accessCost;
    v.extras = state_.extras;
    v.total = state_.total;
    v.endSessionText = state_.setupMode ? kExitSetupText : kEndSessionText;
    v.toggleText = panelToggleText(state_.panelOnTop);
    return v;
}

} // namespace client
