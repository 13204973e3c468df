// The console killed with SIGKILL again and again at random moments of
// scripted cafe traffic, and started again on the same folder each time, with
// three real station engines on loopback. After every restart:
//   - every sale item line the console confirmed is there exactly once, unpaid
//     or in the journal, and no line the console never confirmed is there twice;
//   - every session that ran, or was started and not yet confirmed, is running
//     again with its start time;
//   - every alarm that was set is set again;
//   - no journal entry is there twice.
// Each item line is made unique by its quantity ("Coffee x 17").
//
// BRISKO_KILLS sets the number of kills (50 by default), BRISKO_KILL_SEED the
// random seed (printed, so that a failing run can be repeated).

#include "headless_driver.h"

#include "simulated_station.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <thread>

namespace console::test {

namespace {

using namespace std::chrono_literals;

int fromEnvironment(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

constexpr int kStations = 3;

class KillLoop : public ::testing::Test {
protected:
    TempFolder folder;
    std::uint16_t port = 0;
    std::vector<std::unique_ptr<SimulatedStation>> stations;
    std::unique_ptr<HeadlessDriver> console;
    std::mt19937 random;

    std::set<int> confirmedItems; // quantities whose line the console confirmed
    std::set<int> triedItems;     // quantities asked for, confirmed or not
    int nextQuantity = 2;
    // Per station: the start text of a session seen running, unless a stop was asked since.
    std::map<int, std::string> runningSessions;
    std::map<int, int> confirmedAlarms;
    std::set<int> stopAsked;       // since the console was last read back
    std::map<int, int> alarmAsked; // the last alarm choice asked for, answered or not

    void SetUp() override
    {
        writeClients(folder.path(), kStations);
        writeStandardRates(folder.path());
        writeSaleItems(folder.path(), {{"Coffee", 1.50, true}});
        port = freePort();
        ASSERT_NE(port, 0);
    }

    void tickStations()
    {
        for (auto& station : stations)
            station->tick();
    }

    void startConsole()
    {
        console = std::make_unique<HeadlessDriver>(
            BRISKO_HEADLESS,
            std::vector<std::string>{"--dir", folder.path().string(), "--listen", "127.0.0.1:" + std::to_string(port)});
        console->setIdle([this] { tickStations(); });
        ASSERT_TRUE(console->waitReady()) << "the console did not start";
        if (stations.empty())
            for (int i = 0; i < kStations; ++i)
                stations.push_back(std::make_unique<SimulatedStation>(i, port));
    }

    void kill()
    {
        console->process().kill(SIGKILL);
        console.reset();
    }

    // Waits until every station is back: no row reads "Disconnected" or "Starting".
    std::optional<HeadlessState> waitAllBack()
    {
        return console->waitState(
            [](const HeadlessState& s) {
                for (const HeadlessRow& row : s.rows)
                    if (row.status != "Stopped" && row.status != "Started")
                        return false;
                return true;
            },
            15s);
    }

    // Every line now held: unpaid, waiting in a bill, or charged.
    std::vector<std::string> allDescriptions(const HeadlessState& state)
    {
        std::vector<std::string> descriptions;
        for (const HeadlessBill& bill : state.bills)
            for (const HeadlessLine& line : bill.lines)
                descriptions.push_back(line.description);
        for (const JournalEntry& entry : readJournal(folder.path()))
            for (const store::BillItem& line : entry.lines)
                descriptions.push_back(line.description);
        return descriptions;
    }

    void checkAfterRestart(const HeadlessState& state, int kill)
    {
        std::map<std::string, int> counts;
        for (const std::string& d : allDescriptions(state))
            ++counts[d];
        for (int q : triedItems) {
            const int n = counts["Coffee x " + std::to_string(q)];
            if (confirmedItems.contains(q))
                EXPECT_EQ(n, 1) << "confirmed line Coffee x " << q << " after kill " << kill;
            else
                EXPECT_LE(n, 1) << "unconfirmed line Coffee x " << q << " after kill " << kill;
        }
        std::set<std::string> entries;
        for (const JournalEntry& entry : readJournal(folder.path())) {
            std::string text = std::to_string(entry.stamp);
            for (const store::BillItem& line : entry.lines)
                text += "|" + line.stationText + "," + line.description + "," + line.priceText;
            if (text.find("Coffee x ") != std::string::npos) {
                EXPECT_TRUE(entries.insert(text).second) << "charged twice: " << text << " after kill " << kill;
            }
        }
        for (const auto& [station, start] : runningSessions) {
            EXPECT_EQ(state.rows.at(static_cast<std::size_t>(station - 1)).status, "Started")
                << "PC" << station << " after kill " << kill;
            EXPECT_EQ(state.rows.at(static_cast<std::size_t>(station - 1)).start, start)
                << "PC" << station << " after kill " << kill;
        }
        for (const auto& [station, choice] : confirmedAlarms) {
            bool found = false;
            // An alarm changed by the command the kill cut short may show either choice.
            const auto asked = alarmAsked.find(station);
            for (const HeadlessAlarm& alarm : state.alarms)
                found =
                    found || (alarm.station == station &&
                              (alarm.choice == choice || (asked != alarmAsked.end() && alarm.choice == asked->second)));
            EXPECT_TRUE(found) << "alarm of PC" << station << " after kill " << kill;
        }
    }

    // Takes what the console shows as the truth from here on.
    void adopt(const HeadlessState& state)
    {
        runningSessions.clear();
        stopAsked.clear();
        alarmAsked.clear();
        for (std::size_t i = 0; i < state.rows.size(); ++i)
            if (state.rows[i].status == "Started")
                runningSessions[static_cast<int>(i) + 1] = state.rows[i].start;
        confirmedAlarms.clear();
        for (const HeadlessAlarm& alarm : state.alarms)
            if (runningSessions.contains(alarm.station))
                confirmedAlarms[alarm.station] = alarm.choice;
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    // One step of cafe traffic as a list of commands; `confirm` runs when the
    // last one was answered "ok".
    struct Step {
        std::vector<std::string> commands;
        std::function<void()> confirm;
        std::function<void()> before;
    };

    std::optional<Step> nextStep(const HeadlessState& state)
    {
        std::vector<int> started, stopped;
        for (std::size_t i = 0; i < state.rows.size(); ++i) {
            const int n = static_cast<int>(i) + 1;
            if (state.rows[i].status == "Started")
                started.push_back(n);
            else if (state.rows[i].status == "Stopped")
                stopped.push_back(n);
        }
        switch (pick(5)) {
        case 0:
            if (stopped.empty())
                break;
            return Step{{"select " + std::to_string(stopped[pick(static_cast<int>(stopped.size()))]), "start"}, {}, {}};
        case 1: {
            if (started.empty())
                break;
            const int n = started[pick(static_cast<int>(started.size()))];
            const int q = nextQuantity++;
            return Step{{"select " + std::to_string(n), "bill", "item 0", "quantity " + std::to_string(q)},
                        [this, q] { confirmedItems.insert(q); },
                        [this, q] { triedItems.insert(q); }};
        }
        case 2: {
            if (started.empty())
                break;
            const int n = started[pick(static_cast<int>(started.size()))];
            return Step{{"select " + std::to_string(n), "stop"}, {}, [this, n] {
                            runningSessions.erase(n);
                            confirmedAlarms.erase(n);
                            stopAsked.insert(n);
                        }};
        }
        case 3:
            // A finished session's bill: its tender field is on show.
            for (std::size_t k = 0; k < state.bills.size(); ++k)
                if (state.bills[k].caption.rfind("Comp#: ", 0) == 0)
                    return Step{{"show " + std::to_string(k), "tender 999.00", "charge"}, {}, {}};
            break;
        case 4: {
            if (started.empty())
                break;
            const int n = started[pick(static_cast<int>(started.size()))];
            const int choice = 6 + pick(6); // an hour or more: it does not fall due during the test
            return Step{{"select " + std::to_string(n), "bill", "alarm " + std::to_string(choice)},
                        {},
                        [this, n, choice] { alarmAsked[n] = choice; }};
        }
        }
        return std::nullopt;
    }
};

} // namespace

TEST_F(KillLoop, NoKillLosesOrDoublesMoney)
{
    const int kills = fromEnvironment("BRISKO_KILLS", 50);
    const unsigned seed =
        static_cast<unsigned>(fromEnvironment("BRISKO_KILL_SEED", static_cast<int>(std::random_device{}())));
    random.seed(seed);
    std::cout << "kill loop: " << kills << " kills, seed " << seed << std::endl;

    startConsole();
    ASSERT_FALSE(HasFatalFailure());
    auto first = waitAllBack();
    ASSERT_TRUE(first);
    adopt(*first);

    int steps = 0;
    for (int kill = 1; kill <= kills; ++kill) {
        // A few steps answered in full, then one cut short by the kill.
        const int calm = pick(8);
        std::optional<HeadlessState> state = console->state();
        ASSERT_TRUE(state);
        for (int s = 0; s <= calm; ++s) {
            std::optional<Step> step;
            for (int tries = 0; tries < 20 && !step; ++tries)
                step = nextStep(*state);
            if (!step)
                continue;
            if (step->before)
                step->before();
            const bool last = s == calm;
            const std::size_t cut =
                last ? static_cast<std::size_t>(pick(static_cast<int>(step->commands.size()))) : SIZE_MAX;
            bool answered = true;
            for (std::size_t c = 0; c < step->commands.size(); ++c) {
                if (c == cut) {
                    // The kill lands while this command is on its way or being run.
                    console->process().writeLine(step->commands[c]);
                    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(pick(40));
                    while (std::chrono::steady_clock::now() < until)
                        tickStations();
                    answered = false;
                    break;
                }
                answered = console->command(step->commands[c]).back() == "ok" && answered;
            }
            ++steps;
            if (answered && step->confirm)
                step->confirm();
            if (last)
                break;
            // Stations answer in their own time: a Start or Stop is seen through.
            state = console->waitState(
                [](const HeadlessState& st) {
                    for (const HeadlessRow& row : st.rows)
                        if (row.status == "Starting")
                            return false;
                    return true;
                },
                3s);
            ASSERT_TRUE(state);
            // A session that started, and an alarm that is set, are what the
            // console must give back: it answers only once they are on disk.
            for (std::size_t i = 0; i < state->rows.size(); ++i)
                if ((state->rows[i].status == "Started" || state->rows[i].status == "Starting") &&
                    !runningSessions.contains(static_cast<int>(i) + 1) && !stopAsked.contains(static_cast<int>(i) + 1))
                    runningSessions[static_cast<int>(i) + 1] = state->rows[i].start;
            for (const HeadlessAlarm& alarm : state->alarms)
                if (runningSessions.contains(alarm.station))
                    confirmedAlarms[alarm.station] = alarm.choice;
        }
        this->kill();
        startConsole();
        ASSERT_FALSE(HasFatalFailure());
        auto back = waitAllBack();
        ASSERT_TRUE(back) << "the stations did not come back after kill " << kill;
        checkAfterRestart(*back, kill);
        if (HasFailure()) {
            ADD_FAILURE() << "stopped at kill " << kill << " (seed " << seed << ")";
            return;
        }
        adopt(*back);
    }
    std::cout << "kill loop: " << steps << " steps, " << confirmedItems.size() << " confirmed lines, "
              << readJournal(folder.path()).size() << " bills charged" << std::endl;
}

} // namespace console::test
