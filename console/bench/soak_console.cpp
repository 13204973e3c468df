// bench_soak: a day of a full cafe through the real link and the console engine.
//
// 99 station client engines, each bound to its own loopback address
// (127.0.0.2 .. 127.0.0.100), run in a child process of their own so that their
// memory and threads are not counted as the console's. The console engine runs
// here on 127.0.0.1 with a clock this program moves: each of 100 rounds starts
// every station, puts sale items on each running station's open bill, lets the
// sessions run for minutes of the clock (money ticks every simulated minute),
// stops the stations one by one (half of them later than the others) and
// charges each session's bill. The whole day fits in about 14 hours of the
// clock and a few minutes of wall time.
//
// Checked at the end: the journal holds exactly one entry per session (9,900),
// its lines sum to what was charged, and DayTotal gives the same; the console's
// thread count is the same as after round 1, and its resident memory stays
// flat once the allocator has settled (no more than a few pages above round 1,
// nothing added after round 25).
// Prints the figures; exits 1 when a check fails.

#include "bench_cafe.h"
#include "quiet_services.h"
#include "testsupport/temp_folder.h"

#include "console/bill_panel.h"
#include "console/console_engine.h"
#include "console/money_text.h"
#include "console/station_table.h"
#include "console/texts.h"

#include "client/client_engine.h"
#include "link/link_server.h"
#include "platform/clock.h"
#include "platform/local_time.h"
#include "store/bill_journal.h"
#include "store/journal_format.h"
#include "store/journal_reader.h"

#include <chrono>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using console::bench::QuietServices;
using testsupport::TempFolder;
using WallClock = std::chrono::steady_clock;

constexpr int kStations = 99;
constexpr int kRounds = 100;
const platform::Ipv4Address kConsoleAddress{{127, 0, 0, 1}};

// A pipe end that closes itself.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// The station side, in the child: reads the console's port from `control`, then
// ticks every station every 2 ms (as the station program's timer would) until
// the parent closes `control`.
int runStations(int control, const std::filesystem::path& folders)
{
    std::uint16_t port = 0;
    if (::read(control, &port, sizeof port) != static_cast<ssize_t>(sizeof port))
        return 1;
    QuietServices quiet;
    std::vector<std::unique_ptr<client::ClientEngine>> stations;
    for (int i = 0; i < kStations; ++i)
        stations.push_back(console::bench::startStation(folders / ("station" + std::to_string(i + 1)), i,
                                                        kConsoleAddress, port, quiet));
    for (;;) {
        pollfd watch{control, POLLIN, 0};
        if (::poll(&watch, 1, 2) > 0)
            break; // closed by the parent (or a byte we do not expect)
        for (auto& station : stations)
            station->tick();
    }
    return 0;
}

long vmRssKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

long threadCount()
{
    long count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

struct Failures {
    int count = 0;
    void check(bool ok, const std::string& what)
    {
        if (!ok) {
            ++count;
            std::fprintf(stderr, "FAILED: %s\n", what.c_str());
        }
    }
};

} // namespace

int main()
{
    TempFolder consoleFolder("soak-console-");
    TempFolder stationFolders("soak-stations-");

    // The station child is made before the console starts any thread.
    int control[2];
    if (::pipe(control) != 0)
        return 1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(control[1]);
        ::_exit(runStations(control[0], stationFolders.path()));
    }
    ::close(control[0]);
    Fd toStations(control[1]);
    // Closing the pipe tells the stations to end; a station busy reconnecting to a
    // console that has gone may not look in time, so the child is then killed.
    auto endStations = [&] {
        toStations.reset();
        int status = 0;
        for (int k = 0; k < 500 && ::waitpid(child, &status, WNOHANG) == 0; ++k)
            std::this_thread::sleep_for(10ms);
        if (::waitpid(child, &status, WNOHANG) == 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
        }
    };

    QuietServices quiet;
    if (!console::bench::writeConsoleTables(
            consoleFolder.path(), kStations, {{"00:05:00", 1, 0.50}, {"00:05:00", 2, 0.40}, {"00:10:00", -1, 1.00}},
            {{"Coffee", 1.50, true}, {"Sandwich", 3.25, true}, {"Tea", 0.90, true}}, quiet)) {
        std::fprintf(stderr, "the console's tables could not be written\n");
        endStations();
        return 1;
    }

    // The day starts at 06:00; 100 rounds of at most about 8 minutes end before 20:00.
    const std::time_t dayStart = platform::localDateTime(2026, 3, 2, 6, 0).value_or(std::time(nullptr));
    platform::ManualClock clock(dayStart);
    auto engine = console::bench::makeConsole(consoleFolder.path(), kConsoleAddress, clock, quiet);
    if (engine->startUp() != console::ConsoleEngine::StartResult::Running) {
        std::fprintf(stderr, "the console did not start\n");
        endStations();
        return 1;
    }
    const std::uint16_t port = engine->link().mainPort();
    if (::write(toStations.get(), &port, sizeof port) != static_cast<ssize_t>(sizeof port)) {
        endStations();
        return 1;
    }

    Failures failures;
    auto allRows = [&](std::string_view status) {
        for (int i = 0; i < kStations; ++i)
            if (engine->stationTable().status(i) != status)
                return false;
        return true;
    };
    // The window's event poll, every millisecond of wall time, until `done`.
    auto pollUntil = [&](const std::function<bool()>& done, std::chrono::seconds limit) {
        const auto deadline = WallClock::now() + limit;
        while (!done()) {
            if (WallClock::now() > deadline)
                return false;
            engine->eventPoll();
            std::this_thread::sleep_for(1ms);
        }
        return true;
    };
    // `seconds` of the clock pass, a money tick each simulated minute.
    auto runClock = [&](int seconds) {
        while (seconds > 0) {
            const int step = std::min(seconds, 60);
            clock.advance(step);
            seconds -= step;
            engine->moneyTick();
            engine->eventPoll();
        }
    };

    const auto wallStart = WallClock::now();
    if (!pollUntil([&] { return allRows(console::kStatusStopped); }, 60s)) {
        std::fprintf(stderr, "the stations did not connect\n");
        endStations();
        return 1;
    }

    std::vector<int> everyRow;
    for (int i = 0; i < kStations; ++i)
        everyRow.push_back(i);
    const double itemPrices[] = {1.50, 3.25, 0.90};
    long bills = 0;
    double charged = 0.0;  // what the operator charged, bill by bill
    double expected = 0.0; // the same worked out from the rates and the items
    long rssAfterFirst = 0, threadsAfterFirst = 0;
    std::string rssSamples; // after rounds 25, 50, 75 and 100
    long rssAfterQuarter = 0;

    for (int round = 0; round < kRounds; ++round) {
        engine->onStationSelectionChanged(everyRow);
        engine->onStartPressed();
        if (!pollUntil([&] { return allRows(console::kStatusStarted); }, 30s)) {
            failures.check(false, "round " + std::to_string(round) + ": the stations did not start");
            break;
        }

        // Sale items on each running station's open bill: one or two items, the
        // second in a quantity of up to three.
        std::vector<double> extras(kStations, 0.0);
        for (int i = 0; i < kStations; ++i) {
            engine->onStationSelectionChanged({i});
            engine->onBillPressed();
            const int first = (i + round) % 3;
            engine->billPanel().onItemPressed(first);
            extras[i] += itemPrices[first];
            if ((i + round) % 2 == 0) {
                const int second = (first + 1) % 3;
                const int quantity = 1 + (i + round) % 3;
                engine->billPanel().onItemPressed(second);
                engine->billPanel().setQuantityText(std::to_string(quantity));
                engine->onEnter();
                extras[i] += console::amountOf(console::priceText(itemPrices[second] * quantity));
            }
            failures.check(std::fabs(console::amountOf(engine->stationTable().text(i, console::Column::Extras)) -
                                     extras[i]) < 1e-6,
                           "round " + std::to_string(round) + ": extras of station " + std::to_string(i + 1));
        }

        // Even stations stop first, odd ones two minutes later; each stop is its
        // own press, so each session makes its own bill.
        const int firstLength = 240 + 30 * (round % 5) + round % 11;
        const int secondLength = firstLength + 120;
        runClock(firstLength);
        for (int half = 0; half < 2; ++half) {
            if (half == 1)
                runClock(secondLength - firstLength);
            const int length = half == 0 ? firstLength : secondLength;
            for (int i = half; i < kStations; i += 2) {
                engine->onStationSelectionChanged({i});
                engine->onStopPressed();
                expected +=
                    extras[i] + console::amountOf(console::priceText(engine->rates().computeAccessCharge(length)));
            }
            const bool stopped = pollUntil(
                [&] {
                    for (int i = half; i < kStations; i += 2)
                        if (engine->stationTable().status(i) != console::kStatusStopped)
                            return false;
                    return true;
                },
                30s);
            failures.check(stopped, "round " + std::to_string(round) + ": the stations did not stop");
        }

        // Every session's bill is charged.
        failures.check(engine->billPanel().openBills().size() == kStations,
                       "round " + std::to_string(round) + ": " +
                           std::to_string(engine->billPanel().openBills().size()) + " open bills instead of 99");
        while (!engine->billPanel().openBills().empty()) {
            const double due = engine->billPanel().amountDue();
            if (!engine->billPanel().chargeBill()) {
                failures.check(false, "round " + std::to_string(round) + ": a charge failed");
                break;
            }
            charged += due;
            ++bills;
        }
        const double dayTotal = engine->journal().dayTotal().value_or(-1.0);
        failures.check(std::fabs(dayTotal - charged) < 1e-6, "round " + std::to_string(round) + ": DayTotal " +
                                                                 std::to_string(dayTotal) + " against " +
                                                                 std::to_string(charged));
        if (round == 0) {
            rssAfterFirst = vmRssKilobytes();
            threadsAfterFirst = threadCount();
        }
        if ((round + 1) % 25 == 0)
            rssSamples += " " + std::to_string(round + 1) + ":" + std::to_string(vmRssKilobytes());
        if (round + 1 == 25)
            rssAfterQuarter = vmRssKilobytes();
        if (failures.count > 20)
            break;
    }
    const long rssAtEnd = vmRssKilobytes();
    const long threadsAtEnd = threadCount();
    const double dayTotal = engine->journal().dayTotal().value_or(-1.0);
    const double wallSeconds = std::chrono::duration<double>(WallClock::now() - wallStart).count();
    const std::time_t clockEnd = clock.now();

    // The journal read back on its own.
    long entries = 0;
    long sessionLines = 0;
    double journalSum = 0.0;
    {
        auto file =
            platform::SharedFile::openReader(consoleFolder.path() / "BriskoBills").value_or(platform::SharedFile{});
        store::JournalReader reader(file);
        store::JournalReader::Head head;
        auto step = store::JournalReader::Step::Entry;
        while ((step = reader.nextHead(head)) == store::JournalReader::Step::Entry) {
            ++entries;
            for (auto line = reader.nextLine(); !line.empty(); line = reader.nextLine()) {
                journalSum += store::billLinePrice(line);
                if (store::decodeBillLine(line).description.find(" hrs ") != std::string::npos)
                    ++sessionLines;
            }
        }
        failures.check(step == store::JournalReader::Step::End, "the journal does not end with a whole entry");
    }
    endStations();
    engine.reset();

    const long sessions = static_cast<long>(kStations) * kRounds;
    failures.check(bills == sessions, "bills charged " + std::to_string(bills));
    failures.check(entries == sessions, "journal entries " + std::to_string(entries));
    failures.check(sessionLines == sessions, "session lines in the journal " + std::to_string(sessionLines));
    failures.check(std::fabs(journalSum - charged) < 1e-6, "journal sum against charged");
    failures.check(std::fabs(dayTotal - expected) < 1e-6, "day total against rates and items");
    failures.check(threadsAtEnd == threadsAfterFirst, "thread count changed");
    // The allocator settles in the first rounds (a few pages); after that the
    // memory must stay flat: anything kept per bill would show over 75 rounds.
    failures.check(rssAtEnd - rssAfterQuarter <= 64, "memory grew after round 25");
    failures.check(rssAtEnd - rssAfterFirst <= 512, "memory grew after round 1");
    failures.check(quiet.messages() == 0, "the console showed messages");

    std::printf("stations=%d rounds=%d\n", kStations, kRounds);
    std::printf("wall_seconds=%.1f\n", wallSeconds);
    std::printf("simulated_hours=%.2f\n", static_cast<double>(clockEnd - dayStart) / 3600.0);
    std::printf("bills_charged=%ld journal_entries=%ld session_lines=%ld\n", bills, entries, sessionLines);
    std::printf("charged_total=%.2f journal_sum=%.2f day_total=%.2f expected_total=%.2f\n", charged, journalSum,
                dayTotal, expected);
    std::printf("vmrss_kb_after_round1=%ld vmrss_kb_at_end=%ld growth_kb=%ld\n", rssAfterFirst, rssAtEnd,
                rssAtEnd - rssAfterFirst);
    std::printf("vmrss_kb_by_round=%s\n", rssSamples.c_str());
    std::printf("threads_after_round1=%ld threads_at_end=%ld\n", threadsAfterFirst, threadsAtEnd);
    std::printf("result=%s\n", failures.count == 0 ? "pass" : "FAIL");
    return failures.count == 0 ? 0 : 1;
}
