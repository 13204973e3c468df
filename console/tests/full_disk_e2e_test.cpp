// A full disk while a bill is charged, end to end: the console on a real link
// with a real station, in a child process whose file size limit the test sets
// (or, where the machine allows it, on a small file system filled up). The
// charge fails with "Error (%d) writing file.", the bill stays open and shown,
// the journal keeps every earlier bill untouched, and the same bill charges
// once there is room again.

#include "cafe.h"

#include "console/texts.h"
#include "store/bill_journal.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace console::test {

namespace {

class QuietNotifier final : public store::StoreNotifier {
public:
    void showMessage(const std::string&) override {}
};

// Runs `scenario` in a forked child; its assertions print there, and the child's
// exit code tells the parent whether any failed. 77 means the child skipped.
int runInChild(const std::function<void()>& scenario)
{
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid == 0) {
        scenario();
        std::fflush(stdout);
        ::_exit(::testing::Test::IsSkipped() ? 77 : ::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void expectChildPassed(int code)
{
    if (code == 77)
        GTEST_SKIP() << "the machine does not allow this full disk (see the child's message)";
    EXPECT_EQ(code, 0) << "the child's failures are printed above";
}

// Earlier bills of the day, written by the journal itself before the console starts.
void writeEarlierBills(const std::filesystem::path& folder, int count, std::time_t when)
{
    QuietNotifier notifier;
    platform::ManualClock clock(when);
    store::BillJournal journal(folder, clock, notifier);
    ASSERT_TRUE(journal.open());
    for (int k = 0; k < count; ++k)
        ASSERT_TRUE(journal.append({{"1", "00 hrs 20 mins 00 secs", "1.50"}}));
}

// One station's finished session waiting to be charged: a bill of 2.00.
class OneStationWithABill {
public:
    explicit OneStationWithABill(const std::filesystem::path& folder) : rig(folder, noonOfTestDay())
    {
        writeClients(folder, 1);
        writeStandardRates(folder);
        rig.startConsole();
        cafe = std::make_unique<Cafe>(rig);
        cafe->addStation(0);
    }

    void makeTheBill()
    {
        ASSERT_TRUE(cafe->allReady());
        rig.select({0});
        rig.console().onStartPressed();
        ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStarted; }));
        rig.tickAfter(1861s);
        cafe->station(0).endSession();
        ASSERT_TRUE(cafe->runUntil([&] { return rig.status(0) == kStatusStopped; }));
        ASSERT_EQ(rig.console().billPanel().openBills().size(), 1u);
        ASSERT_EQ(rig.console().view().bill.totalDisplay.text, "2.00");
    }

    // The charge that cannot be written: nothing of it anywhere, the bill still open.
    void expectRefusedCharge(const std::string& message, double dayTotalBefore)
    {
        const std::string journalBefore = readFile(rig.folder / "BriskoBills");
        rig.prompts.messages.clear();
        EXPECT_FALSE(rig.console().billPanel().chargeBill());
        EXPECT_EQ(rig.prompts.messages, std::vector<std::string>{message});
        EXPECT_EQ(readFile(rig.folder / "BriskoBills"), journalBefore) << "earlier bills untouched";
        EXPECT_EQ(rig.console().billPanel().openBills().size(), 1u) << "the bill stays unpaid";
        const ConsoleView v = rig.console().view();
        EXPECT_TRUE(v.bill.charge.visible);
        EXPECT_EQ(v.bill.caption.text, "Comp#: 1");
        ASSERT_EQ(v.bill.list.rows.size(), 1u);
        EXPECT_EQ(v.bill.list.rows[0], (store::BillItem{"1", "00 hrs 31 mins 01 secs", "2.00"}));
        EXPECT_DOUBLE_EQ(rig.console().journal().dayTotal().value(), dayTotalBefore);
    }

    // Room again: the same bill charges, once.
    void expectChargeAfterwards(std::size_t earlierBills, double dayTotalBefore)
    {
        rig.prompts.messages.clear();
        EXPECT_TRUE(rig.console().billPanel().chargeBill());
        EXPECT_TRUE(rig.prompts.messages.empty());
        EXPECT_TRUE(rig.console().billPanel().openBills().empty());
        const auto journal = readJournal(rig.folder);
        ASSERT_EQ(journal.size(), earlierBills + 1);
        EXPECT_EQ(journal.back().lines, (std::vector<store::BillItem>{{"1", "00 hrs 31 mins 01 secs", "2.00"}}));
        EXPECT_DOUBLE_EQ(rig.console().journal().dayTotal().value(), dayTotalBefore + 2.00);
        EXPECT_TRUE(hasEvent(logEvents(rig.folder), "CHARGE,2.00"));
    }

    ConsoleRig rig;
    std::unique_ptr<Cafe> cafe;
};

} // namespace

// The file size limit stops the journal halfway through the bill's entry: the
// half that was written is taken back.
TEST(FullDiskEndToEnd, AChargeBeyondTheFileSizeLimitStaysUnpaidUntilThereIsRoom)
{
    TempFolder folder;
    expectChildPassed(runInChild([&] {
        writeEarlierBills(folder.path(), 3, noonOfTestDay() - 3600);
        OneStationWithABill cafe(folder.path());
        cafe.makeTheBill();
        if (::testing::Test::HasFatalFailure())
            return;
        const double before = cafe.rig.console().journal().dayTotal().value();
        ASSERT_DOUBLE_EQ(before, 4.50);

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        rlimit tight = limit;
        tight.rlim_cur = static_cast<rlim_t>(std::filesystem::file_size(folder.path() / "BriskoBills") + 40);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
        // A file grown to its size limit is a full disk to the operator.
        cafe.expectRefusedCharge("Error (13) writing file.", before);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);

        cafe.expectChargeAfterwards(3, before);
    }));
}

// A small file system holding the console's folder, filled up by another file.
// Needs root and a mount namespace of its own; skipped elsewhere.
TEST(FullDiskEndToEnd, AChargeOnAFullFileSystemStaysUnpaidUntilSpaceIsFreed)
{
    TempFolder folder;
    expectChildPassed(runInChild([&] {
        if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", folder.path().c_str(), "tmpfs", 0, "size=256k") != 0)
            GTEST_SKIP() << "cannot mount a small file system here (needs root and mount namespaces)";
        // 40 bills of 100 bytes end just short of a page: the next bill needs a new one.
        writeEarlierBills(folder.path(), 40, noonOfTestDay() - 3600);
        OneStationWithABill cafe(folder.path());
        cafe.makeTheBill();
        if (::testing::Test::HasFatalFailure())
            return;
        const double before = cafe.rig.console().journal().dayTotal().value();
        ASSERT_DOUBLE_EQ(before, 60.00);

        const auto filler = folder.path() / "filler";
        {
            std::ofstream out(filler, std::ios::binary);
            const std::string block(4096, 'x');
            while (out.write(block.data(), static_cast<std::streamsize>(block.size())))
                out.flush();
        }
        cafe.expectRefusedCharge("Error (13) writing file.", before);
        std::filesystem::remove(filler);

        cafe.expectChargeAfterwards(40, before);
    }));
}

} // namespace console::test
