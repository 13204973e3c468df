// Page counts: the spool data's own PAGES="n", and what a real CUPS reports
// for plain jobs, copies, duplex and a raw queue.
#include "cups_daemon.h"

#include "cups_server.h"
#include "job_pages.h"
#include "print_server_address.h"
#include "spool_page_count.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <thread>

namespace print::test {
namespace {

using namespace std::chrono_literals;

using testsupport::TempFolder;

TEST(SpoolPageCount, TakesTheLastAttributeWithinTheFinal1023Bytes)
{
    TempFolder dir;
    auto file = [&](const std::string& content) { return writeFile(dir.path() / "d00012-001", content); };
    EXPECT_EQ(SpoolPageCount(file("@PJL SET PAGES=\"3\"\n")), 3);
    EXPECT_EQ(SpoolPageCount(file("PAGES=\"2\" data PAGES=\"17\" end")), 17) << "the last one counts";
    EXPECT_EQ(SpoolPageCount(file("PAGES=\"5\"" + std::string(1023 - 9, 'x'))), 5) << "just inside the tail";
    EXPECT_EQ(SpoolPageCount(file("PAGES=\"5\"" + std::string(1023 - 8, 'x'))), 0) << "its start outside";
    EXPECT_EQ(SpoolPageCount(file(std::string(500000, 'x') + "PAGES=\"9\"")), 9) << "a large file";
    EXPECT_EQ(SpoolPageCount(file("PAGES=3")), 0) << "the quote belongs to the key";
    EXPECT_EQ(SpoolPageCount(file("PAGES=\"abc\"")), 0);
    EXPECT_EQ(SpoolPageCount(file("PAGES=\"12 pages\"")), 12) << "the number at the start of the text";
    EXPECT_EQ(SpoolPageCount(file("PAGES=\"99999999999999\"")), 0) << "no overflow";
    EXPECT_EQ(SpoolPageCount(file("")), 0);
    EXPECT_EQ(SpoolPageCount(dir.path() / "missing"), 0);
    EXPECT_EQ(spoolDataFile("/s", 12), std::filesystem::path("/s/d00012-001"));
}

TEST(JobPages, CompletedJobsCountCopiesCancelledOnesWhatCameOut)
{
    CupsJob job;
    job.state = JobState::Completed;
    job.copies = 2;
    job.impressionsCompleted = 4;
    job.sheetsCompleted = 2;
    EXPECT_EQ(chargeablePages(job, 3), 6) << "the spool's count times the copies";
    EXPECT_EQ(chargeablePages(job, 0), 4) << "else the impressions";
    job.impressionsCompleted = 0;
    EXPECT_EQ(chargeablePages(job, 0), 2) << "else the sheets";
    job.sheetsCompleted = 0;
    EXPECT_EQ(chargeablePages(job, 0), 0);

    job.state = JobState::Cancelled;
    job.impressionsCompleted = 1;
    EXPECT_EQ(chargeablePages(job, 3), 1) << "a cancelled job: only what came out";
    job.state = JobState::Aborted;
    job.impressionsCompleted = 0;
    job.sheetsCompleted = 5;
    EXPECT_EQ(chargeablePages(job, 3), 0);
    job.state = JobState::Processing;
    EXPECT_EQ(chargeablePages(job, 3), 0) << "not finished yet";
}

TEST(PrintServerName, HostPortAndTheLocalServer)
{
    auto parse = [](const std::string& name) { return parsePrintServerName(name, "/run/cups/cups.sock", 631); };
    EXPECT_EQ(parse("").host, "/run/cups/cups.sock");
    EXPECT_TRUE(parse("").local);
    EXPECT_EQ(parse("LocalHost").host, "/run/cups/cups.sock");
    EXPECT_EQ(parse("localhost:8631").host, "localhost");
    EXPECT_EQ(parse("localhost:8631").port, 8631);
    EXPECT_EQ(parse("printhost").host, "printhost");
    EXPECT_EQ(parse("printhost").port, 631);
    EXPECT_FALSE(parse("printhost").local);
    EXPECT_EQ(parse("\\\\printhost:632").host, "printhost");
    EXPECT_EQ(parse("\\\\printhost:632").port, 632);
    EXPECT_EQ(parse("127.0.0.1:5000").port, 5000);
    EXPECT_TRUE(parse("127.0.0.1:5000").local);
    EXPECT_EQ(parse("printhost:99999").host, "printhost:99999") << "no port: left as the name";
}

// One private daemon for the suite: a PDF queue and a raw queue.
class CupsReports : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!CupsDaemon::unavailableReason().empty())
            return;
        daemon = new CupsDaemon;
        ASSERT_TRUE(daemon->start());
        ASSERT_TRUE(daemon->addQueue("pdf"));
        ASSERT_TRUE(daemon->addQueue("raw", true));
    }
    static void TearDownTestSuite()
    {
        delete daemon;
        daemon = nullptr;
    }
    void SetUp() override
    {
        if (const std::string why = CupsDaemon::unavailableReason(); !why.empty())
            GTEST_SKIP() << why;
        ASSERT_TRUE(server.connect(2s));
        docs = std::make_unique<TempFolder>();
    }

    CupsJob finished(int id)
    {
        for (auto waited = 0ms; waited < 15s; waited += 50ms) {
            if (auto jobs = server.finishedJobs())
                for (const CupsJob& job : *jobs)
                    if (job.id == id)
                        return job;
            std::this_thread::sleep_for(50ms);
        }
        ADD_FAILURE() << "job " << id << " did not finish";
        return {};
    }
    std::filesystem::path pdf(int pages)
    {
        return writeFile(docs->path() / ("doc" + std::to_string(pages) + ".pdf"), pdfDocument(pages));
    }

    static CupsDaemon* daemon;
    CupsServer server{parsePrintServerName(daemon ? daemon->serverName() : "", "", 631)};
    std::unique_ptr<TempFolder> docs;
};

CupsDaemon* CupsReports::daemon = nullptr;

TEST_F(CupsReports, CopiesDuplexAndARawQueue)
{
    const auto plain = daemon->print("pdf", "Three pages", pdf(3), 1, "PC-7");
    const auto copies = daemon->print("pdf", "Two copies", pdf(3), 2, "10.1.2.3");
    const auto duplex = daemon->print("pdf", "Duplex", pdf(3), 1, "PC-7", {"sides=two-sided-long-edge"});
    const auto raw = daemon->print("raw", "Raw", pdf(3), 1, "PC-7");
    ASSERT_TRUE(plain && copies && duplex && raw);

    const CupsJob p = finished(*plain);
    EXPECT_EQ(p.state, JobState::Completed);
    EXPECT_EQ(p.printer, "pdf");
    EXPECT_EQ(p.machine, "PC-7");
    EXPECT_EQ(p.document, "Three pages");
    EXPECT_GT(p.created, 0);
    EXPECT_EQ(p.impressionsCompleted, 3);
    const CupsJob c = finished(*copies);
    EXPECT_EQ(c.machine, "10.1.2.3");
    EXPECT_EQ(c.copies, 2);
    EXPECT_EQ(c.impressionsCompleted, 6) << "impressions include the copies";
    EXPECT_EQ(chargeablePages(c, 0), 6);
    const CupsJob d = finished(*duplex);
    EXPECT_EQ(d.impressionsCompleted, 3) << "duplex: impressions are page sides";
    EXPECT_EQ(chargeablePages(d, 0), 3);
    const CupsJob r = finished(*raw);
    EXPECT_EQ(r.state, JobState::Completed);
    EXPECT_EQ(r.impressionsCompleted, 0) << "a raw queue counts nothing";
    EXPECT_EQ(r.sheetsCompleted, 0);
    EXPECT_EQ(SpoolPageCount(spoolDataFile(daemon->spoolFolder(), *raw)), 0) << "a PDF carries no PAGES=";
}

} // namespace
} // namespace print::test
