// Start-up, exit and restart of the console, a second console in the same
// folder, and sessions whose station goes away for good.

#include "console/journal_events.h"
#include "cafe.h"
#include "brisko_version.h"

#include "console/texts.h"
#include "platform/tcp_socket.h"
#include "store/configuration.h"

#include <gtest/gtest.h>

namespace console::test {

namespace {

class SilentNotifier final : public store::StoreNotifier {
public:
    void showMessage(const std::string&) override {}
};

void writePassword(const std::filesystem::path& folder, const std::string& password)
{
    SilentNotifier notifier;
    store::Configuration configuration(folder, notifier);
    ASSERT_TRUE(configuration.load());
    ASSERT_TRUE(configuration.setPassword(password));
    ASSERT_TRUE(configuration.save());
}

} // namespace

class ConsoleLifecycle : public ::testing::Test {
protected:
    TempFolder folder;
    ConsoleRig rig{folder.path(), noonOfTestDay()};
    std::unique_ptr<Cafe> cafe;

    void SetUp() override
    {
        writeClients(folder.path(), 2);
        writeStandardRates(folder.path());
    }
    std::vector<std::string> log() { return logEvents(folder.path()); }

    // Starts the console and both stations and waits until they read "Stopped".
    void openCafe()
    {
        rig.startConsole();
        cafe = std::make_unique<Cafe>(rig);
        cafe->addStations(2);
        ASSERT_TRUE(cafe->allReady());
    }
    // A minute of the session goes by; the station has kept its session stamp by then.
    void waitForSessionStamp(int i)
    {
        rig.tickAfter(61s);
        ASSERT_TRUE(cafe->runUntil([&] { return !cafe->station(i).state().sessionStamp.empty(); }));
    }
};

TEST_F(ConsoleLifecycle, AWrongPasswordEndsTheConsoleBeforeAnythingRuns)
{
    writePassword(folder.path(), "secret");
    rig.password.typed = "guess";
    rig.create();
    EXPECT_EQ(rig.console().startUp(), ConsoleEngine::StartResult::WrongPassword);
    EXPECT_EQ(rig.beeper.beeps, 1);
    EXPECT_EQ(rig.prompts.messages, std::vector<std::string>{"Wrong password"});
    EXPECT_FALSE(rig.console().link().isRunning());
    EXPECT_EQ(rig.console().stationTable().rowCount(), 0);
    EXPECT_TRUE(rig.console().hasEnded());
    EXPECT_TRUE(hasEvent(log(), "PASSWORD REFUSED,wrong password"));

    // Escape gives the empty text, which opens a console without a password only.
    rig.password.typed = "secret";
    EXPECT_EQ(rig.create().startUp(), ConsoleEngine::StartResult::Running);
}

// No password verifies against a damaged record: the owner is told how to get
// back in rather than left with a beep.
TEST_F(ConsoleLifecycle, ADamagedConfigurationSaysHowTheOwnerGetsBackIn)
{
    writePassword(folder.path(), "secret");
    std::string bytes = readFile(folder.path() / "BriskoConfig");
    bytes[20] = static_cast<char>(bytes[20] ^ 0x40);
    testsupport::writeFile(folder.path() / "BriskoConfig", bytes);
    rig.password.typed = "secret";
    rig.create();
    EXPECT_EQ(rig.console().startUp(), ConsoleEngine::StartResult::WrongPassword);
    ASSERT_FALSE(rig.prompts.messages.empty());
    EXPECT_EQ(rig.prompts.messages.back(), damagedConfigurationMessage(folder.path().string()));
    EXPECT_NE(rig.prompts.messages.back().find("reset-password"), std::string::npos);
    EXPECT_TRUE(hasEvent(log(), "PASSWORD REFUSED,BriskoConfig is damaged"));
}

TEST_F(ConsoleLifecycle, WithoutAPasswordEscapeOpensTheConsole)
{
    rig.password.typed = "";
    ConsoleEngine& console = rig.startConsole();
    EXPECT_TRUE(console.link().isRunning());
    EXPECT_EQ(console.stationTable().rowCount(), 2);
    EXPECT_EQ(console.stationTable().status(1), kStatusDisconnected);
    EXPECT_EQ(console.stationTable().row(1), (StationTable::Row{"2", "Disconnected", "", "", "0.00", "0.00", "0.00"}));
    EXPECT_TRUE(rig.printMonitor.starts.empty()) << "no printers, no print monitor";
    // A cafe with stations but no password is not a new one: no setup follows.
    EXPECT_EQ(rig.password.hints, std::vector<std::string>{kNoPasswordSetHint});
    EXPECT_FALSE(console.firstRunWanted());
}

TEST_F(ConsoleLifecycle, ASecondConsoleInTheSameFolderTellsAndEnds)
{
    rig.startConsole();
    ConsoleRig second{folder.path(), noonOfTestDay()};
    second.create();
    EXPECT_EQ(second.console().startUp(), ConsoleEngine::StartResult::AlreadyRunning);
    EXPECT_EQ(second.prompts.messages, std::vector<std::string>{"Brisko is already running in this folder."});
    EXPECT_FALSE(second.console().link().isRunning());
    EXPECT_EQ(second.password.asked, 0);

    // The first console's files are untouched and still work.
    rig.console().onBillPressed();
    EXPECT_EQ(rig.console().stationTable().rowCount(), 2);
    EXPECT_EQ(rig.console().clients().stationCount(), 2);

    // Once the first has ended, a console may start there again.
    ASSERT_TRUE(rig.console().requestExit());
    ConsoleRig third{folder.path(), noonOfTestDay()};
    EXPECT_EQ(third.create().startUp(), ConsoleEngine::StartResult::Running);
}

TEST_F(ConsoleLifecycle, ExitAsksFirstAndEndsOnce)
{
    writePrinters(folder.path(), {{"SERVER", "Laser", 0.10}});
    ConsoleEngine& console = rig.startConsole();
    EXPECT_EQ(rig.printMonitor.starts, std::vector<std::string>{"SERVER"});

    rig.prompts.answers = {false};
    EXPECT_FALSE(console.requestExit());
    EXPECT_TRUE(console.link().isRunning());
    EXPECT_EQ(rig.printMonitor.stops, 0);

    EXPECT_TRUE(console.requestExit());
    EXPECT_EQ(rig.prompts.questions, (std::vector<std::string>{"Exit Brisko?", "Exit Brisko?"}));
    EXPECT_FALSE(console.link().isRunning());
    EXPECT_EQ(rig.printMonitor.stops, 1);
    EXPECT_TRUE(console.requestExit()) << "a second close request does nothing";
    EXPECT_EQ(rig.prompts.questions.size(), 2u);

    // The start and the end, once each, in the activity log and the system's log.
    const auto events = log();
    EXPECT_EQ(std::count(events.begin(), events.end(), "CONSOLE STARTED," BRISKO_VERSION), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "CONSOLE ENDED,"), 1);
    EXPECT_EQ(events.back(), "CONSOLE ENDED,");
    EXPECT_EQ(journalLevelOf("CONSOLE ENDED,"), platform::JournalLevel::Notice);
    EXPECT_EQ(journalLevelOf("LINK REFUSED,192.168.1.12,claimed 127.0.1.1"), platform::JournalLevel::Warning);
    EXPECT_EQ(journalLevelOf("CHARGE,2.30"), std::nullopt) << "money stays in the activity log";
    EXPECT_EQ(fileProblemJournalLine("/cafe/BriskoOpen",
                                     "The open bills file BriskoOpen cannot be read whole: "
                                     "cut short.\r\nIt was kept as BriskoOpen.1.\r\n\r\nBrisko starts."),
              "The open bills file BriskoOpen cannot be read whole: cut short. It was kept as BriskoOpen.1. "
              "Brisko starts. (/cafe/BriskoOpen)");
}

TEST_F(ConsoleLifecycle, ARestartedConsoleTakesBackTheRunningSessions)
{
    rig.port = freePort();
    ASSERT_NE(rig.port, 0);
    ASSERT_NO_FATAL_FAILURE(openCafe());
    ASSERT_TRUE(cafe->startSession(1));
    ASSERT_NO_FATAL_FAILURE(waitForSessionStamp(1));

    ASSERT_TRUE(rig.console().requestExit());
    rig.engine.reset();
    EXPECT_FALSE(cafe->station(1).locked()) << "the customer works on while the console is away";

    rig.clock.advance(600);
    rig.startConsole();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStarted && rig.status(0) == kStatusStopped; }));
    EXPECT_EQ(rig.text(1, Column::Start), "12:00:00") << "the station's own start time";
    rig.tickAfter(0s);
    EXPECT_EQ(rig.text(1, Column::Duration), "00:11:01");
    EXPECT_EQ(rig.text(1, Column::AccessCost), "1.50");

    rig.select({1});
    rig.console().onStopPressed();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));
    EXPECT_EQ(rig.console().view().bill.list.rows.at(0).description, "00 hrs 11 mins 01 secs");
}

TEST_F(ConsoleLifecycle, ASessionWhoseStationWentAwayCanBeStoppedAndBilled)
{
    ASSERT_NO_FATAL_FAILURE(openCafe());
    ASSERT_TRUE(cafe->startSession(0));
    rig.tickAfter(1861s);

    cafe->station(0).vanish();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusDisconnected; }));
    EXPECT_EQ(rig.text(0, Column::Start), "12:00:00") << "the session keeps its start time";
    rig.select({0});
    EXPECT_TRUE(rig.console().view().buttons.stop.enabled);

    rig.clock.advance(900);
    rig.console().onStopPressed();
    EXPECT_EQ(rig.status(0), kStatusDisconnected) << "billed, and still away";
    const ConsoleView v = rig.console().view();
    EXPECT_EQ(v.bill.caption.text, "Comp#: 1");
    ASSERT_EQ(v.bill.list.rows.size(), 1u);
    EXPECT_EQ(v.bill.list.rows[0], (store::BillItem{"1", "00 hrs 46 mins 01 secs", "2.50"}));
    EXPECT_TRUE(hasEvent(log(), "STOPPING,0"));
    EXPECT_FALSE(rig.console().view().buttons.stop.enabled);
}

TEST_F(ConsoleLifecycle, AStationBackAfterItsSessionWasBilledIsLockedWithoutASecondBill)
{
    ASSERT_NO_FATAL_FAILURE(openCafe());
    ASSERT_TRUE(cafe->startSession(0));
    ASSERT_NO_FATAL_FAILURE(waitForSessionStamp(0));

    // The station's link is cut; the station keeps its session. (It is not ticked
    // while it cannot reach the console: its tick would wait for it.)
    rig.console().link().stopStationWorker(0);
    ASSERT_TRUE(cafe->runStationsUntil({1}, [&] { return rig.status(0) == kStatusDisconnected; }));
    rig.console().onStopPressed();
    ASSERT_EQ(rig.console().billPanel().openBills().size(), 1u);
    EXPECT_FALSE(cafe->station(0).locked());

    ASSERT_TRUE(rig.console().link().startStationWorker(0));
    ASSERT_TRUE(cafe->runUntil([&] { return cafe->station(0).locked() && rig.status(0) == kStatusStopped; }));
    cafe->runFor(100ms);
    EXPECT_EQ(rig.status(0), kStatusStopped);
    EXPECT_EQ(rig.console().billPanel().openBills().size(), 1u) << "no second bill";
    EXPECT_EQ(rig.text(0, Column::AccessCost), "0.00");
}

// Lines reach the file as they are written; the disk sync comes once per
// timer pass, for everything written since the last one.
TEST_F(ConsoleLifecycle, TheLogIsSyncedOnceATimerPass)
{
    ASSERT_NO_FATAL_FAILURE(openCafe());
    store::ActivityLog& activity = rig.console().activityLog();
    EXPECT_FALSE(activity.hasUnsyncedLines()) << "the event poll synced the CONNECTED lines";

    rig.select({0, 1});
    rig.console().onStartPressed();
    EXPECT_TRUE(activity.hasUnsyncedLines());
    EXPECT_TRUE(hasEvent(log(), "STARTING,1")) << "written before the sync";
    rig.console().eventPoll();
    EXPECT_FALSE(activity.hasUnsyncedLines());

    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStarted && rig.status(1) == kStatusStarted; }));
    rig.select({0});
    rig.console().onBillPressed();
    rig.console().onAlarmSelected(1);
    rig.clock.advance(600);
    rig.console().moneyTick(); // the alarm fires
    EXPECT_TRUE(hasEvent(log(), "ALARM STOPPING,0"));
    EXPECT_FALSE(activity.hasUnsyncedLines());
}

} // namespace console::test
