// A console that crashes comes back with its money: unpaid bills, the open
// bills of running stations, alarms and running sessions, on real station
// engines over loopback. The crash is what is on disk at the moment of the
// kill: the folder's files are copied then and put back after the engine is
// gone, so nothing a clean shutdown writes can help.

#include "three_station_cafe.h"

#include "console/texts.h"
#include "store/journal_format.h"
#include "store/open_state_codec.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>

namespace console::test {

namespace {

namespace fs = std::filesystem;

// Every file of the folder as it is now.
class DiskImage {
public:
    explicit DiskImage(const fs::path& folder) : folder_(folder)
    {
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file())
                files_[entry.path().filename()] = readFile(entry.path());
    }
    // The folder as the image holds it: what a kill at the copy left behind.
    void putBack() const
    {
        for (const auto& entry : fs::directory_iterator(folder_))
            if (entry.is_regular_file() && !files_.contains(entry.path().filename()))
                fs::remove(entry.path());
        for (const auto& [name, bytes] : files_)
            std::ofstream(folder_ / name, std::ios::binary | std::ios::trunc) << bytes;
    }

private:
    fs::path folder_;
    std::map<fs::path, std::string> files_;
};

void crashAndRestart(ConsoleRig& rig)
{
    const DiskImage image(rig.folder);
    rig.engine.reset();
    image.putBack();
    rig.startConsole();
}

std::vector<std::string> journalLines(const fs::path& folder)
{
    std::vector<std::string> lines;
    for (const JournalEntry& entry : readJournal(folder)) {
        std::string bill;
        for (const store::BillItem& line : entry.lines)
            bill += line.stationText + "|" + line.description + "|" + line.priceText + ";";
        lines.push_back(std::to_string(entry.stamp) + " " + bill);
    }
    return lines;
}

// Charges every unpaid bill, first to last.
void chargeAll(ConsoleEngine& console)
{
    while (!console.billPanel().openBills().empty()) {
        console.billPanel().onSelectorChanged(0);
        ASSERT_TRUE(console.billPanel().chargeBill());
    }
}

} // namespace

class OpenStateRestart : public ThreeStationCafe {
protected:
    void SetUp() override
    {
        rig.port = freePort();
        ASSERT_NE(rig.port, 0);
        ThreeStationCafe::SetUp();
    }

    // The open bills file as the first step leaves it.
    void markBillCharging(std::uint64_t journalOffset, std::size_t bill = 0)
    {
        auto decoded = store::decodeOpenState(asBytes(readFile(folder.path() / "BriskoOpen")));
        ASSERT_GT(decoded.state.bills.size(), bill);
        decoded.state.bills[bill].chargingAt = journalOffset;
        writeBytes(folder.path() / "BriskoOpen", store::encodeOpenState(decoded.state));
    }
    void appendJournalEntry(const std::vector<store::BillItem>& lines, std::size_t cut = SIZE_MAX)
    {
        auto entry = store::encodeBillEntry(rig.clock.now(), lines);
        entry.resize(std::min(cut, entry.size()));
        std::ofstream(folder.path() / "BriskoBills", std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(entry.data()), static_cast<std::streamsize>(entry.size()));
    }
    static std::vector<std::byte> asBytes(const std::string& s)
    {
        const auto* p = reinterpret_cast<const std::byte*>(s.data());
        return {p, p + s.size()};
    }
    static void writeBytes(const fs::path& file, const std::vector<std::byte>& bytes)
    {
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // Kills the console here; `step` makes the disk as the charge left it.
    void crashDuringCharge(const std::function<void()>& step)
    {
        const DiskImage image(folder.path());
        rig.engine.reset();
        image.putBack();
        step();
        rig.startConsole();
    }
    std::vector<std::string> selector() { return console().view().bill.selector.entries; }
    bool stampsKnown(const std::vector<int>& stations)
    {
        return cafe->runUntil([&] {
            for (int i : stations)
                if (cafe->station(i).state().sessionStamp.empty())
                    return false;
            return true;
        });
    }

    // An afternoon at the counter, crashing once in the middle when asked:
    // three sessions, coffee on PC2's open bill, an alarm on PC3, PC1 stopped
    // and left unpaid. Returns the journal once every bill is charged.
    std::vector<std::string> runAfternoon(bool crash)
    {
        for (int i = 0; i < 3; ++i)
            startStation(i);
        rig.tickAfter(600s);
        rig.select({1});
        console().onBillPressed();
        panel().onItemPressed(0);
        panel().setQuantityText("2");
        console().onEnter();
        rig.select({2});
        console().onBillPressed();
        console().onAlarmSelected(3); // 00:30
        rig.select({0});
        console().onStopPressed();
        EXPECT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStopped; }));
        EXPECT_TRUE(stampsKnown({1, 2}));

        rig.clock.advance(120);
        if (crash) {
            crashAndRestart(rig);
            // Before any station is back: the bills, and the sessions with their figures.
            EXPECT_EQ(selector(), (std::vector<std::string>{"Open Bill: Comp#: 2", "Comp#: 1"}));
            const ConsoleView shown = console().view();
            EXPECT_TRUE(shown.bill.caption.visible) << "the first unpaid bill is on show with its lines";
            EXPECT_EQ(shown.bill.list.rows, (std::vector<store::BillItem>{{"", "Coffee x 2", "3.00"}}));
            EXPECT_EQ(rig.status(1), kStatusDisconnected);
            EXPECT_EQ(rig.text(1, Column::Start), "12:00:00");
            EXPECT_EQ(rig.text(1, Column::Extras), "3.00");
            EXPECT_EQ(console().stationState(2).alarmChoice, 3);
            rig.select({1});
            EXPECT_TRUE(console().view().buttons.stop.enabled) << "a kept session can be stopped at once";
            EXPECT_TRUE(
                cafe->runUntil([&] { return rig.status(1) == kStatusStarted && rig.status(2) == kStatusStarted; }));
            EXPECT_EQ(rig.text(2, Column::Start), "12:00:00") << "the station's stamp agrees with the kept start";
        } else {
            rig.tickAfter(0s);
        }
        // The alarm ends PC3's session at 12:30:00.
        rig.clock.set(noonOfTestDay() + 1800);
        rig.tickAfter(0s);
        EXPECT_TRUE(cafe->runUntil([&] { return rig.status(2) == kStatusStopped; }));
        rig.clock.advance(95);
        rig.select({1});
        console().onStopPressed();
        EXPECT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));
        chargeAll(console());
        return journalLines(folder.path());
    }
};

TEST_F(OpenStateRestart, AnAfternoonWithACrashChargesWhatAnAfternoonWithoutOneCharges)
{
    const std::vector<std::string> crashed = runAfternoon(true);
    const std::vector<std::string> expected = {
        std::to_string(noonOfTestDay() + 1800 + 95) + " 1|00 hrs 10 mins 00 secs|1.50;",
        std::to_string(noonOfTestDay() + 1800 + 95) + " 3|00 hrs 30 mins 00 secs|1.50;",
        std::to_string(noonOfTestDay() + 1800 + 95) + " 2|00 hrs 31 mins 35 secs|2.00;0|Coffee x 2|3.00;",
    };
    EXPECT_EQ(crashed, expected);
    const std::string kept = readFile(folder.path() / "BriskoOpen");
    const auto* bytes = reinterpret_cast<const std::byte*>(kept.data());
    EXPECT_TRUE(store::decodeOpenState({bytes, kept.size()}).state.bills.empty()) << "nothing is left unpaid";
}

TEST_F(OpenStateRestart, TheSameAfternoonWithoutACrash)
{
    const std::vector<std::string> calm = runAfternoon(false);
    ASSERT_EQ(calm.size(), 3u);
    EXPECT_EQ(calm[2],
              std::to_string(noonOfTestDay() + 1800 + 95) + " 2|00 hrs 31 mins 35 secs|2.00;0|Coffee x 2|3.00;");
}

TEST_F(OpenStateRestart, ASessionWhoseStationNeverComesBackCountsOnAndIsBilledWhenStopped)
{
    startStation(0);
    rig.tickAfter(0s);
    ASSERT_TRUE(stampsKnown({0}));
    cafe->station(0).vanish();
    rig.clock.advance(1200);
    crashAndRestart(rig);
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStopped; }));
    EXPECT_EQ(rig.status(0), kStatusDisconnected);
    EXPECT_EQ(rig.text(0, Column::Start), "12:00:00");

    rig.clock.advance(700);
    rig.select({0});
    console().onStopPressed();
    ASSERT_EQ(panel().openBills().size(), 1u);
    EXPECT_EQ(panel().openBills()[0].items.at(0).description, "00 hrs 31 mins 40 secs");
}

TEST_F(OpenStateRestart, AnAlarmThatFellDueWhileTheConsoleWasDownStopsTheSessionAtOnce)
{
    startStation(0);
    rig.select({0});
    console().onBillPressed();
    console().onAlarmSelected(1); // 00:10
    rig.tickAfter(0s);
    ASSERT_TRUE(stampsKnown({0}));
    rig.clock.advance(3600);
    crashAndRestart(rig);

    ASSERT_EQ(panel().openBills().size(), 1u) << "billed up to the alarm, not to the restart";
    EXPECT_EQ(panel().openBills()[0].items.at(0).description, "00 hrs 10 mins 00 secs");
    EXPECT_EQ(console().stationState(0).alarmChoice, 0);
    // The station comes back unlocked; it is locked without a second bill.
    ASSERT_TRUE(cafe->runUntil([&] { return cafe->station(0).locked() && rig.status(0) == kStatusStopped; }));
    cafe->runFor(300ms);
    EXPECT_EQ(panel().openBills().size(), 1u);
}

TEST_F(OpenStateRestart, AStopWhoseConfirmationWasLostIsBilledUpToTheStop)
{
    startStation(0);
    startStation(1);
    rig.clock.advance(900);
    rig.select({0, 1});
    console().onStopPressed(); // the two share one bill; neither STOPPED is heard
    rig.clock.advance(400);
    crashAndRestart(rig);

    ASSERT_EQ(selector(), std::vector<std::string>{"Comp#: 1, 2"});
    const auto& lines = panel().openBills()[0].items;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].description, "00 hrs 15 mins 00 secs");
    EXPECT_EQ(lines[1].description, "00 hrs 15 mins 00 secs");
    ASSERT_TRUE(cafe->runUntil([&] {
        return cafe->station(0).locked() && cafe->station(1).locked() && rig.status(0) == kStatusStopped &&
               rig.status(1) == kStatusStopped;
    }));
    EXPECT_EQ(panel().openBills().size(), 1u);
}

TEST_F(OpenStateRestart, AStartTheStationHadNotConfirmedIsTakenUpAgain)
{
    rig.select({0});
    console().onStartPressed(); // the UNLOCK is on its way; nobody has answered
    ASSERT_EQ(rig.status(0), kStatusStarting);
    rig.clock.advance(300);
    crashAndRestart(rig);
    // The station comes back locked (its LOCK, given as it first connected, was
    // still ahead of the UNLOCK); the UNLOCK goes out with the next tick's figures.
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStarted; }));
    rig.tickAfter(0s);
    ASSERT_TRUE(cafe->runUntil([&] { return !cafe->station(0).locked(); }));
    EXPECT_EQ(rig.text(0, Column::Start), "12:00:00") << "billed from the Start the operator gave";
    rig.clock.advance(300);
    rig.select({0});
    console().onStopPressed();
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStopped; }));
    EXPECT_EQ(panel().openBills().at(0).items.at(0).description, "00 hrs 10 mins 00 secs");
}

TEST_F(OpenStateRestart, ASwapTheTargetNeverConfirmedIsBilledUpToTheSwap)
{
    startStation(0);
    rig.clock.advance(600);
    rig.select({0, 1});
    console().onSwapPressed(); // PC1's session moves to PC2, which never answers
    cafe->station(1).vanish();
    crashAndRestart(rig);
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStopped; }));
    EXPECT_EQ(rig.status(1), kStatusDisconnected);
    rig.clock.advance(1200);
    rig.select({1});
    console().onStopPressed();
    ASSERT_EQ(panel().openBills().size(), 1u);
    EXPECT_EQ(panel().openBills()[0].items.at(0).description, "00 hrs 10 mins 00 secs")
        << "the time after the swap was never used";
}

TEST_F(OpenStateRestart, AnOpenBillPaidJustBeforeTheCrashNoLongerCountsInTheExtras)
{
    startStation(1);
    rig.select({1});
    console().onBillPressed();
    panel().onItemPressed(0);
    ASSERT_EQ(rig.text(1, Column::Extras), "1.50");
    crashDuringCharge([&] {
        markBillCharging(0);
        appendJournalEntry({{"", "Coffee", "1.50"}});
    });
    EXPECT_TRUE(panel().openBills().empty());
    EXPECT_EQ(rig.text(1, Column::Extras), "0.00");
    EXPECT_EQ(rig.text(1, Column::Total), "0.00");
    EXPECT_FALSE(console().stationState(1).holds.has(Hold::OpenBill));
    ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == kStatusStarted; }));
    rig.tickAfter(1s);
    EXPECT_TRUE(cafe->runUntil([&] {
        return cafe->station(1).state().extras == "\x80"
                                                  "0.00";
    })) << "the station shows no debt that was paid";
}

class PrintedBeforeACrash : public OpenStateRestart {
protected:
    void writeTables() override
    {
        OpenStateRestart::writeTables();
        writePrinters(folder.path(), {{"SERVER", "Laser", 0.10}});
    }
};

// The print monitor is told a job was taken only once its charge is on disk;
// a crash in between makes it hand the job over again, and the console, which
// kept the job's key, does not charge it twice.
TEST_F(PrintedBeforeACrash, AJobTakenJustBeforeTheCrashIsChargedOnce)
{
    const PrintJobRecord job{"Laser", "PC1", "map.png", 5, "SERVER\t7\t100"};
    rig.printMonitor.queued = {job};
    rig.tickAfter(1s);
    ASSERT_EQ(panel().openBills().size(), 1u);
    EXPECT_EQ(rig.printMonitor.confirmed, std::vector<std::string>{job.key}) << "confirmed after the keep";
    const auto kept = store::decodeOpenState(asBytes(readFile(folder.path() / "BriskoOpen")));
    EXPECT_EQ(kept.state.takenPrintJobs, std::vector<std::string>{job.key}) << "the crash comes before the next keep";

    crashAndRestart(rig);
    rig.printMonitor.queued = {job}; // handed over again
    rig.tickAfter(1s);
    ASSERT_EQ(panel().openBills().size(), 1u);
    EXPECT_EQ(panel().openBills()[0].items.size(), 1u) << "the pages are charged once";
    EXPECT_EQ(rig.printMonitor.confirmed.back(), job.key);
    rig.tickAfter(1s);
    EXPECT_TRUE(store::decodeOpenState(asBytes(readFile(folder.path() / "BriskoOpen"))).state.takenPrintJobs.empty());
}

// A charge is three steps on disk: the bill marked with the journal's length,
// the journal entry, the bill removed. A crash after any step leaves the bill
// either unpaid or in the journal, exactly once.
class ChargeCrash : public OpenStateRestart {
protected:
    void SetUp() override
    {
        OpenStateRestart::SetUp();
        if (HasFatalFailure())
            return;
        startStation(0);
        rig.clock.advance(600);
        rig.select({0});
        console().onStopPressed();
        ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStopped; }));
        ASSERT_EQ(panel().openBills().size(), 1u);
        bill = panel().openBills()[0].items;
    }

    std::size_t journalEntries() { return readJournal(folder.path()).size(); }

    std::vector<store::BillItem> bill;
};

TEST_F(ChargeCrash, BeforeTheMarkTheBillIsUnpaid)
{
    crashDuringCharge([] {});
    EXPECT_EQ(panel().openBills().size(), 1u);
    EXPECT_EQ(journalEntries(), 0u);
}

TEST_F(ChargeCrash, AfterTheMarkButBeforeTheJournalTheBillIsUnpaidAndCanBeCharged)
{
    crashDuringCharge([&] { markBillCharging(0); });
    ASSERT_EQ(panel().openBills().size(), 1u);
    EXPECT_EQ(journalEntries(), 0u);
    EXPECT_TRUE(panel().chargeBill());
    EXPECT_EQ(journalEntries(), 1u);
}

TEST_F(ChargeCrash, InTheMiddleOfTheJournalWriteTheTornEntryGoesAndTheBillIsUnpaid)
{
    crashDuringCharge([&] {
        markBillCharging(0);
        appendJournalEntry(bill, 50);
    });
    ASSERT_EQ(panel().openBills().size(), 1u);
    EXPECT_EQ(journalEntries(), 0u);
    EXPECT_TRUE(panel().chargeBill());
    EXPECT_EQ(journalEntries(), 1u);
}

TEST_F(ChargeCrash, AfterTheJournalTheBillIsPaidOnce)
{
    crashDuringCharge([&] {
        markBillCharging(0);
        appendJournalEntry(bill);
    });
    EXPECT_TRUE(panel().openBills().empty()) << "the journal has it: it must not be charged again";
    EXPECT_EQ(journalEntries(), 1u);
    EXPECT_TRUE(store::decodeOpenState(asBytes(readFile(folder.path() / "BriskoOpen"))).state.bills.empty());
}

TEST_F(ChargeCrash, AnotherBillAtTheMarkedPlaceDoesNotPayThisOne)
{
    crashDuringCharge([&] {
        markBillCharging(0);
        appendJournalEntry({{"", "Coffee", "1.50"}});
    });
    EXPECT_EQ(panel().openBills().size(), 1u);
}

TEST_F(ChargeCrash, AJournalUnreadableAtTheRestartKeepsTheMarkUntilTheChargeCanTell)
{
    const fs::path journal = folder.path() / "BriskoBills";
    const fs::path aside = folder.path() / "journal-aside";
    crashDuringCharge([&] {
        markBillCharging(0);
        appendJournalEntry(bill);
        fs::rename(journal, aside);
        fs::create_directory(journal); // the journal cannot be opened
    });
    ASSERT_EQ(panel().openBills().size(), 1u) << "not known to be paid: still unpaid";
    EXPECT_TRUE(store::decodeOpenState(asBytes(readFile(folder.path() / "BriskoOpen"))).state.bills.at(0).chargingAt)
        << "the mark stays until the journal can tell";

    fs::remove(journal);
    fs::rename(aside, journal);
    EXPECT_TRUE(panel().chargeBill());
    EXPECT_TRUE(panel().openBills().empty());
    EXPECT_EQ(journalEntries(), 1u) << "found in the journal: not charged a second time";
}

TEST_F(ChargeCrash, AChargeThatCompletedLeavesNothingToRestore)
{
    ASSERT_TRUE(panel().chargeBill());
    crashDuringCharge([] {});
    EXPECT_TRUE(panel().openBills().empty());
    EXPECT_EQ(journalEntries(), 1u);
}

} // namespace console::test
