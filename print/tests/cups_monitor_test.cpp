// The monitor on a real, private CUPS daemon: each finished job handed over
// once, whatever restarts in between; a server that goes away is reported
// and charging resumes when it is back.
#include "cups_daemon_fixture.h"

#include "print/cups_print_monitor.h"
#include "print/printed_jobs_memory.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

// Compared and printed by the tests (found through the type's namespace).
namespace console {
inline bool operator==(const console::PrintJobRecord& a, const console::PrintJobRecord& b)
{
    return a.printer == b.printer && a.machine == b.machine && a.document == b.document && a.pages == b.pages;
}

inline std::ostream& operator<<(std::ostream& out, const console::PrintJobRecord& r)
{
    return out << "{" << r.printer << ", " << r.machine << ", " << r.document << ", " << r.pages << "}";
}

} // namespace console

namespace print::test {
namespace {

using namespace std::chrono_literals;
using console::PrintJobRecord;

class MonitorOnCups : public CupsDaemonFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(startDaemon({{"pdf"}, {"raw", true}}));
        if (IsSkipped())
            return;
        settings.memoryFile = daemon->base() / "BriskoPrinted";
        settings.spoolFolder = daemon->spoolFolder();
        settings.firstRetryPause = 200ms;
        settings.maxRetryPause = 800ms;
        monitor = std::make_unique<CupsPrintMonitor>(settings);
    }

    std::filesystem::path pdf(int pages)
    {
        return writeFile(daemon->base() / ("doc" + std::to_string(pages) + ".pdf"), pdfDocument(pages));
    }
    int print(const std::string& title, int pages, int copies = 1, const std::string& host = "PC1")
    {
        const auto id = daemon->print("pdf", title, pdf(pages), copies, host);
        EXPECT_TRUE(id.has_value());
        return id.value_or(0);
    }
    // Takes jobs as the money tick does until `count` came or the time is up,
    // and confirms them as the console does once they are on its disk.
    std::vector<PrintJobRecord> takeJobs(std::size_t count, std::chrono::milliseconds limit = 2s, bool confirm = true)
    {
        std::vector<PrintJobRecord> all;
        const auto until = std::chrono::steady_clock::now() + limit;
        while (all.size() < count && std::chrono::steady_clock::now() < until) {
            std::vector<std::string> keys;
            for (PrintJobRecord& job : monitor->takeFinishedJobs()) {
                keys.push_back(job.key);
                all.push_back(std::move(job));
            }
            if (confirm)
                monitor->confirmTaken(keys);
            std::this_thread::sleep_for(50ms);
        }
        return all;
    }
    // Nothing more arrives within a while (more than one listing of the jobs).
    void expectNothingMore(std::chrono::milliseconds wait = 1500ms)
    {
        std::this_thread::sleep_for(wait);
        EXPECT_EQ(monitor->takeFinishedJobs(), std::vector<PrintJobRecord>{});
    }
    void waitFinished(int id)
    {
        // The page log's lines hold the job id between spaces.
        std::string field = " ";
        field += std::to_string(id);
        field += ' ';
        for (auto waited = 0ms; waited < 10s; waited += 50ms) {
            std::ifstream in(daemon->base() / "log/page_log");
            std::string text((std::istreambuf_iterator<char>(in)), {});
            if (text.find(field) != std::string::npos)
                break;
            std::this_thread::sleep_for(50ms);
        }
        std::this_thread::sleep_for(300ms);
    }

    PrintMonitorSettings settings;
    std::unique_ptr<CupsPrintMonitor> monitor;
};

TEST_F(MonitorOnCups, EachFinishedJobReachesTheTickOnceWithinTwoSeconds)
{
    waitFinished(print("Before the monitor", 1));
    monitor->start(daemon->serverName());
    EXPECT_TRUE(monitor->charging());

    print("Report", 3, 1, "PC1");
    print("Flyer", 2, 3, "pc2");
    auto jobs = takeJobs(2);
    ASSERT_EQ(jobs.size(), 2u) << "the job finished before the start is not charged";
    std::sort(jobs.begin(), jobs.end(), [](auto& a, auto& b) { return a.document < b.document; });
    EXPECT_EQ(jobs[0], (PrintJobRecord{"pdf", "pc2", "Flyer", 6})) << "copies count";
    EXPECT_EQ(jobs[1], (PrintJobRecord{"pdf", "PC1", "Report", 3}));

    // Another job brings another notification and another listing of every
    // finished job: only the new one is handed over.
    print("Again", 1);
    EXPECT_EQ(takeJobs(1), (std::vector<PrintJobRecord>{{"pdf", "PC1", "Again", 1}}));
    expectNothingMore();
    EXPECT_TRUE(monitor->takeNotices().empty());
}

TEST_F(MonitorOnCups, SpoolPagesOnARawQueueAndJobsThatPrintedNothing)
{
    monitor->start(daemon->serverName());
    const auto pjl = writeFile(daemon->base() / "job.prn", "\x1b%-12345X@PJL JOB NAME=\"x\" PAGES=\"3\"\n%!PS\n");
    ASSERT_TRUE(daemon->print("raw", "Spooled", pjl, 2, "PC1"));
    ASSERT_TRUE(daemon->print("raw", "Raw PDF", pdf(2), 1, "PC1")) << "a raw queue reports no pages";
    ASSERT_TRUE(daemon->holdQueue("pdf"));
    const int held = print("Cancelled", 4);
    std::this_thread::sleep_for(200ms);
    ASSERT_TRUE(daemon->cancel(held));

    EXPECT_EQ(takeJobs(1), (std::vector<PrintJobRecord>{{"raw", "PC1", "Spooled", 6}}));
    expectNothingMore();
}

TEST_F(MonitorOnCups, RestartsOfMonitorServerAndConsoleChargeNothingTwice)
{
    monitor->start(daemon->serverName());
    print("First", 1);
    ASSERT_EQ(takeJobs(1).size(), 1u);

    // The monitor again, on the same object.
    monitor->stop();
    print("While stopped", 2);
    monitor->start(daemon->serverName());
    EXPECT_EQ(takeJobs(1), (std::vector<PrintJobRecord>{{"pdf", "PC1", "While stopped", 2}}))
        << "a job finished while the monitor was stopped is still charged";
    expectNothingMore(300ms);

    // The print server again.
    daemon->stop();
    ASSERT_TRUE(daemon->start());
    print("After the server", 1);
    EXPECT_EQ(takeJobs(1, 4s), (std::vector<PrintJobRecord>{{"pdf", "PC1", "After the server", 1}}));

    // The console again: a new monitor on the same memory file.
    monitor.reset();
    monitor = std::make_unique<CupsPrintMonitor>(settings);
    monitor->start(daemon->serverName());
    expectNothingMore();
    print("After the console", 5);
    EXPECT_EQ(takeJobs(1), (std::vector<PrintJobRecord>{{"pdf", "PC1", "After the console", 5}}));
}

TEST_F(MonitorOnCups, AJobNotTakenBeforeTheExitIsChargedAtTheNextStart)
{
    monitor->start(daemon->serverName());
    const int id = print("Not taken", 2);
    waitFinished(id);
    std::this_thread::sleep_for(500ms);
    monitor.reset();
    monitor = std::make_unique<CupsPrintMonitor>(settings);
    monitor->start(daemon->serverName());
    EXPECT_EQ(takeJobs(1), (std::vector<PrintJobRecord>{{"pdf", "PC1", "Not taken", 2}}));
}

TEST_F(MonitorOnCups, AJobTakenButNotConfirmedIsHandedOverAgainAfterARestartOnly)
{
    monitor->start(daemon->serverName());
    print("Taken", 2);
    const auto taken = takeJobs(1, 2s, false);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_FALSE(taken[0].key.empty());
    expectNothingMore(1200ms); // not handed over twice while the monitor runs

    // The console died before it confirmed: the next one is handed the job again.
    monitor.reset();
    monitor = std::make_unique<CupsPrintMonitor>(settings);
    monitor->start(daemon->serverName());
    const auto again = takeJobs(1);
    ASSERT_EQ(again, (std::vector<PrintJobRecord>{{"pdf", "PC1", "Taken", 2}}));
    EXPECT_EQ(again[0].key, taken[0].key) << "with the same key, so the console can tell it had charged it";

    monitor.reset();
    monitor = std::make_unique<CupsPrintMonitor>(settings);
    monitor->start(daemon->serverName());
    expectNothingMore();
}

TEST(PrintJobKey, ReadsBackWhatItWrites)
{
    const auto parts = parseJobKey(jobKey("printhost:631", 42, 1700000000));
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->server, "printhost:631");
    EXPECT_EQ(parts->id, 42);
    EXPECT_EQ(parts->created, 1700000000);
    EXPECT_FALSE(parseJobKey(""));
    EXPECT_FALSE(parseJobKey("srv\tx\t1"));
    EXPECT_FALSE(parseJobKey("srv\t1"));
}

TEST_F(MonitorOnCups, AnUnreachableServerIsReportedOnceAndChargingResumes)
{
    monitor->start(daemon->serverName());
    daemon->stop();
    for (auto waited = 0ms; waited < 3s && monitor->charging(); waited += 50ms)
        std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(monitor->charging());
    std::this_thread::sleep_for(1500ms); // several failed attempts
    EXPECT_EQ(monitor->takeNotices(), std::vector<std::string>{serverLostNotice(daemon->serverName())});

    ASSERT_TRUE(daemon->start());
    print("Back", 2);
    EXPECT_EQ(takeJobs(1, 3s), (std::vector<PrintJobRecord>{{"pdf", "PC1", "Back", 2}}));
    EXPECT_TRUE(monitor->charging());
    EXPECT_EQ(monitor->takeNotices(), std::vector<std::string>{serverBackNotice(daemon->serverName())});
}

TEST_F(MonitorOnCups, AServerThatIsNeverThereDoesNotHoldUpTheConsole)
{
    daemon->stop();
    const auto before = std::chrono::steady_clock::now();
    monitor->start(daemon->serverName());
    EXPECT_LT(std::chrono::steady_clock::now() - before, 3s);
    EXPECT_FALSE(monitor->charging());
    const auto stopping = std::chrono::steady_clock::now();
    monitor->stop();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, 500ms) << "the retry pause ends at once on stop";
    EXPECT_TRUE(monitor->charging()) << "a stopped monitor has nothing to report";
    EXPECT_EQ(monitor->takeNotices().size(), 1u);
}

TEST(PrintedJobsMemory, KeepsJobsAndWatchedServersAcrossOpenings)
{
    testsupport::TempFolder folder;
    const std::filesystem::path& dir = folder.path();
    {
        PrintedJobsMemory memory(dir / "BriskoPrinted");
        ASSERT_TRUE(memory.open());
        memory.markWatched("srv:631");
        memory.remember("srv:631", 12, 1700000000);
        memory.remember("srv:631", 12, 1700000000);
    }
    std::ofstream(dir / "BriskoPrinted", std::ios::app) << "garbage\nJOB\tsrv:631\t13\t17"; // a cut last line
    PrintedJobsMemory memory(dir / "BriskoPrinted");
    ASSERT_TRUE(memory.open());
    EXPECT_TRUE(memory.watched("srv:631"));
    EXPECT_FALSE(memory.watched("other"));
    EXPECT_TRUE(memory.contains("srv:631", 12, 1700000000));
    EXPECT_FALSE(memory.contains("srv:631", 12, 1700000001)) << "the same id started again is a new job";
    EXPECT_FALSE(memory.contains("other", 12, 1700000000));
    EXPECT_FALSE(memory.contains("srv:631", 13, 17));
    PrintedJobsMemory second(dir / "BriskoPrinted");
    EXPECT_FALSE(second.open()) << "held open by its owner, like the console's other files";

    // The job remembered after the cut line is a whole line of its own at the next start.
    memory.remember("srv:631", 14, 1700000100);
    memory.close();
    PrintedJobsMemory third(dir / "BriskoPrinted");
    ASSERT_TRUE(third.open());
    EXPECT_TRUE(third.contains("srv:631", 14, 1700000100)) << "so it is never charged a second time";
}

} // namespace
} // namespace print::test
