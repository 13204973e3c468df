#pragma once
// SimulatedStation: one station of the end-to-end tests, the real station
// client engine bound to its own loopback address, with a workstation and a
// host that only record. Used on the test's thread.

#include "console_harness.h"

#include "client/client_engine.h"
#include "client/workstation.h"

#include <memory>
#include <string>
#include <vector>

namespace console::test {

class QuietWorkstation final : public client::Workstation {
public:
    bool showTaskbar() override { return true; }
    bool hideTaskbar() override { return true; }
    void setCursorVisible(bool) override {}
    void placeWindow(const client::ScreenRect&, client::WindowOrder) override {}
    void disableTaskKeys(bool) override {}
    std::optional<std::string> shutdown() override
    {
        ++shutdowns;
        return std::nullopt;
    }
    int shutdowns = 0;
};

class QuietHost final : public client::ClientHost {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// One station: the client engine in its own folder, talking to the console on
// 127.0.0.1 from 127.0.0.(index + 2).
class SimulatedStation {
public:
    SimulatedStation(int index, std::uint16_t consolePort);
    // A station announcing another address than its index's.
    SimulatedStation(int index, std::uint16_t consolePort, platform::Ipv4Address own);
    SimulatedStation(const SimulatedStation&) = delete;
    SimulatedStation& operator=(const SimulatedStation&) = delete;

    void tick();
    bool locked() const { return engine_->state().locked; }
    bool connected() const { return engine_->link().isConnected(); }
    bool quitRequested() const { return engine_->state().quitRequested; }
    const client::ClientState& state() const { return engine_->state(); }
    // Types `code` and Enter on the locked screen; true when setup opened.
    bool typeSetupCode(const std::string& code)
    {
        for (char c : code)
            engine_->onCharacter(c);
        return engine_->onCharacter('\r');
    }
    // The customer ends the session (END SESSION, confirmed); in setup, EXIT SETUP.
    void endSession() { engine_->confirmEndSession(); }
    // The desktop session of the station's PC is ending: the station locks and says "STOP".
    void desktopSessionEnds() { engine_->onQueryEndSession(); }
    // The station program ends and starts again (a new engine on the same folder).
    void restartProgram();
    // The station leaves for good: its program is gone.
    void vanish() { engine_.reset(); }
    bool present() const { return engine_ != nullptr; }
    std::vector<std::string> logLines() const;

private:
    void build();

    int index_;
    std::uint16_t port_;
    platform::Ipv4Address own_;
    TempFolder folder_;
    QuietWorkstation workstation_;
    QuietHost host_;
    std::unique_ptr<client::ClientEngine> engine_;
};

} // namespace console::test
