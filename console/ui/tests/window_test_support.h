#pragma once
// Test pieces for the console window: a cafe of real station engines on
// loopback around a real ConsoleWindow on a temporary folder, a clock the
// test moves, and helpers that answer the modal dialogs the console opens.

#include "console_window.h"

#include "console_harness.h"
#include "simulated_station.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTableView>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

namespace console::ui::test {

using console::test::SimulatedStation;
using console::test::TempFolder;

// Waits in the event loop until `done` holds; false after the limit.
bool waitUntil(const std::function<bool()>& done, int limitMs = 8000);

// Runs `answer` on the next modal dialog of the given type that opens.
void whenModal(const std::function<bool(QWidget*)>& answer, int limitMs = 8000);
// Accepts the next password prompt.
void acceptPasswordPrompt();
// Clicks the button of the given role in the next message box; the text it showed is kept in `shown`.
void answerMessageBox(QMessageBox::StandardButton button, QString* shown = nullptr);

struct CafeOptions {
    int stations = 3;
    bool withStations = true; // simulated stations connect
};

class WindowCafe {
public:
    explicit WindowCafe(CafeOptions options = {});
    ~WindowCafe();

    bool ready() const { return ready_; }
    ConsoleWindow& window() { return *window_; }
    console::ConsoleEngine& engine() { return window_->engine(); }
    const std::filesystem::path& folder() const { return folder_.path(); }
    platform::ManualClock& clock() { return clock_; }
    SimulatedStation& station(int i) { return *stations_.at(static_cast<std::size_t>(i)); }

    template <typename W = QWidget>
    W* control(int controlId) const
    {
        return window_->findChild<W*>(QString::number(controlId));
    }
    QTableView* table() const;
    std::string status(int i) { return std::string(engine().stationTable().status(i)); }
    std::string text(int i, console::Column c) { return engine().stationTable().text(i, c); }

    // Clicks rows of the station table (Ctrl for every row after the first).
    void selectRows(const std::vector<int>& rows);
    void click(int controlId);
    // The stations stop running. A station whose console has gone keeps trying
    // to reach it again and does not return from its tick, so a test stops them
    // before the console exits.
    void stopStations() { stationTicks_.stop(); }
    // Waits until every station is connected and its row reads "Stopped".
    bool allStopped();
    // Starts the given rows and waits for them to read "Started".
    [[nodiscard]] bool startRows(const std::vector<int>& rows);
    // Moves the clock on and waits for the next money tick.
    void tickAfter(std::chrono::seconds elapsed);

private:
    TempFolder folder_;
    platform::ManualClock clock_;
    std::unique_ptr<ConsoleWindow> window_;
    std::vector<std::unique_ptr<SimulatedStation>> stations_;
    QTimer stationTicks_;
    bool ready_ = false;
};

} // namespace console::ui::test
