// The activity log's line format, appending across runs and its open failure.

#include "platform/clock.h"
#include "store/activity_log.h"
#include "store_test_kit.h"

#include <gtest/gtest.h>

using namespace store;
using namespace store::test;

namespace {
std::string readText(const fs::path& path)
{
    auto bytes = readBytes(path);
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

class ActivityLogFile : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingNotifier notifier;
    platform::ManualClock clock{localTime(2024, 5, 1, 9, 0)};
};
} // namespace

TEST_F(ActivityLogFile, StampsLinesAndAppendsAcrossRuns)
{
    clock.set(localTime(2006, 12, 31, 23, 59, 30));
    {
        ActivityLog log(folder.path(), clock, notifier);
        ASSERT_TRUE(log.open());
        log.writeLogLine("STARTING,0");
        clock.set(localTime(2007, 1, 1, 0, 1));
        log.writeLogLine("CHARGE,4.50");
        // Written through at once: a reader sees the lines before the log is closed.
        EXPECT_EQ(readText(folder / "BriskoLog"), "3112062359,STARTING,0\n0101070001,CHARGE,4.50\n");
    }
    ActivityLog second(folder.path(), clock, notifier);
    second.writeLogLine("STOPPED,0"); // a log not yet open opens itself
    EXPECT_EQ(readText(folder / "BriskoLog"), "3112062359,STARTING,0\n0101070001,CHARGE,4.50\n0101070001,STOPPED,0\n");
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(ActivityLogFile, UnopenableLogReportsEachAttemptAndDropsTheLines)
{
    ActivityLog owner(folder.path(), clock, notifier);
    ASSERT_TRUE(owner.open());

    ActivityLog second(folder.path(), clock, notifier);
    EXPECT_FALSE(second.open());
    second.writeLogLine("CONNECTED,3");
    second.writeLogLine("CONNECTED,4");
    EXPECT_EQ(notifier.messages, std::vector<std::string>(3, "File Open Failed"));
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(fs::file_size(folder / "BriskoLog"), 0u);
}

TEST_F(ActivityLogFile, LinesAreWrittenAtOnceAndSyncedOnRequest)
{
    ActivityLog log(folder.path(), clock, notifier);
    ASSERT_TRUE(log.open());
    EXPECT_FALSE(log.hasUnsyncedLines());
    EXPECT_TRUE(log.sync()) << "nothing to sync";

    for (int i = 0; i < 99; ++i)
        log.writeLogLine("STOPPED," + std::to_string(i));
    EXPECT_TRUE(log.hasUnsyncedLines());
    // Each line is in the file as soon as it is written, before any sync.
    // "0105240900,STOPPED,i\n": 20 bytes and the digits of i.
    EXPECT_EQ(fs::file_size(folder / "BriskoLog"), 99u * 20u + 10u * 1u + 89u * 2u);
    EXPECT_TRUE(log.sync());
    EXPECT_FALSE(log.hasUnsyncedLines());

    log.writeLogLine("CHARGE,1.50");
    EXPECT_TRUE(log.hasUnsyncedLines());
    log.close();
    EXPECT_FALSE(log.hasUnsyncedLines());
    EXPECT_TRUE(readText(folder / "BriskoLog").ends_with("0105240900,CHARGE,1.50\n"));
}
