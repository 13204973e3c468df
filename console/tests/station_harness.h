#pragma once
// Simulated stations for the end-to-end tests: the real station client engine,
// each bound to its own loopback address, with a workstation that only records.

#include "console_harness.h"

#include "client/client_engine.h"
#include "client/workstation.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
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
    void pumpEvents() override {}
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
    // The customer ends the session (END SESSION, confirmed).
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

// A console rig with stations, and the loop that runs them all in real time.
class Cafe {
public:
    Cafe(ConsoleRig& rig) : rig_(rig) {}
    SimulatedStation& addStation(int index);
    SimulatedStation& addStation(int index, platform::Ipv4Address own);
    // Stations 0 .. count - 1.
    void addStations(int count);
    // Like runUntil, with only the given stations ticking (the others hear nothing).
    bool runStationsUntil(const std::vector<int>& ticking, const std::function<bool()>& done,
                          std::chrono::milliseconds limit = 8s);
    // Ticks the stations only, without the console's event poll.
    bool tickStationsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 8s);
    SimulatedStation& station(int index);
    // Ticks every station and runs the console's event poll until `done` holds
    // (false after the time limit).
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 8s);
    // Runs for a while without a condition.
    void runFor(std::chrono::milliseconds time);
    // Waits until every station is connected and its row reads "Stopped".
    bool allReady();
    // Selects station i, presses Start and waits until its row reads "Started".
    [[nodiscard]] bool startSession(int i);

private:
    ConsoleRig& rig_;
    std::vector<std::unique_ptr<SimulatedStation>> stations_;
    std::vector<int> indexes_;
};

// A console on three connected, stopped stations with the standard rates: the
// end-to-end fixtures derive from it and add what their tests share.
class ThreeStationCafe : public ::testing::Test {
protected:
    TempFolder folder;
    ConsoleRig rig{folder.path(), noonOfTestDay()};
    std::unique_ptr<Cafe> cafe;

    // The sale items (and printers) the tests need, written before the console starts.
    virtual void writeTables();
    // Writes the files, starts the console and waits until the three stations read "Stopped".
    void SetUp() override;
    // Selects station i, presses Start and waits until it reads "Started".
    void startStation(int i);

    ConsoleEngine& console() { return rig.console(); }
    BillPanel& panel() { return console().billPanel(); }
    ConsoleView view() { return console().view(); }
    std::vector<std::string> log() { return logEvents(folder.path()); }
};

} // namespace console::test
