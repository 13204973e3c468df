// "BriskoOpen": its bytes, damage of any kind, files put aside, and a power
// cut during its rewrite.

#include "store/open_state_file.h"

#include "store_test_kit.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace store;
using namespace store::test;

namespace {

OpenState busyCafe()
{
    OpenState state;
    state.bills = {
        {"Comp#: 1", 1, false, {{"1", "00 hrs 10 mins 00 secs", "1.50"}}, std::nullopt},
        {"Open Bill: Comp#: 2", 2, true, {{"", "Coffee x 2", "3.00"}, {"2", "Pages (3): a|b;c\n", "0.30"}}, 184},
        {"Walk-in Bill", 0, true, {{"", std::string("odd\0text", 8), "12.00"}}, std::nullopt},
    };
    KeptStation running;
    running.index = 1;
    running.running = true;
    running.openBillMark = true;
    running.startTime = 1709290800;
    running.alarmChoice = 3;
    running.alarmTime = 1709292600;
    running.sessionSerial = 4;
    running.accessCost = "1.50";
    running.extras = "3.30";
    running.total = "4.80";
    KeptStation stopping;
    stopping.index = 4;
    stopping.running = true;
    stopping.stopping = true;
    stopping.startTime = 1709290000;
    stopping.stopTime = 1709291000;
    stopping.sessionBill = {4, 2, true, 1, 0, "Comp#: 4", 1709291001, 4, {{"4", "00 hrs 16 mins 40 secs", "1.50"}}};
    KeptStation member;
    member.index = 6;
    member.running = true;
    member.stopping = true;
    member.sessionBill.owner = 4;
    state.stations = {running, stopping, member};
    // Held work keeps its order: the print job came before the session's end.
    state.held = {KeptPrintCharge{2, {"2", "Pages (1): x", "0.10"}, 0.1, true, 4}, KeptClose{2, 1895, 1709292695},
                  KeptClose{1, 60, 1709292700}};
    state.takenPrintJobs = {"SERVER\t7\t1709292000"};
    state.sessionEnds = {{2, 1709290000}, {6, 1709291500}};
    return state;
}

fs::path openFile(const TempFolder& folder) { return folder.path() / kOpenStateFileName; }

} // namespace

TEST(OpenStateBytes, EveryFieldComesBackAsItWasWritten)
{
    const OpenState state = busyCafe();
    const DecodedOpenState decoded = decodeOpenState(encodeOpenState(state));
    EXPECT_EQ(decoded.outcome, DecodedOpenState::Outcome::Whole);
    EXPECT_EQ(decoded.state, state);
    EXPECT_EQ(decodeOpenState({}).outcome, DecodedOpenState::Outcome::Whole) << "a file just created";
}

TEST(OpenStateBytes, AFileCutAtAnyByteGivesBackOnlyWholeRecordsInOrder)
{
    const OpenState state = busyCafe();
    const std::vector<std::byte> bytes = encodeOpenState(state);
    for (std::size_t length = 1; length < bytes.size(); ++length) {
        const DecodedOpenState decoded = decodeOpenState(std::span(bytes).first(length));
        ASSERT_EQ(decoded.outcome, DecodedOpenState::Outcome::Damaged) << "cut at " << length;
        EXPECT_FALSE(decoded.fault.empty());
        const auto& bills = decoded.state.bills;
        ASSERT_LE(bills.size(), state.bills.size());
        EXPECT_TRUE(std::equal(bills.begin(), bills.end(), state.bills.begin())) << "cut at " << length;
        if (!decoded.state.stations.empty()) {
            EXPECT_EQ(bills.size(), state.bills.size()) << "records come back in the order they were written";
        }
    }
}

TEST(OpenStateBytes, AnyChangedByteIsFoundAndNothingChangedIsBelieved)
{
    const OpenState state = busyCafe();
    const std::vector<std::byte> bytes = encodeOpenState(state);
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        std::vector<std::byte> damaged = bytes;
        damaged[at] ^= std::byte{0x20};
        const DecodedOpenState decoded = decodeOpenState(damaged);
        ASSERT_NE(decoded.outcome, DecodedOpenState::Outcome::Whole) << "byte " << at;
        for (std::size_t k = 0; k < decoded.state.bills.size(); ++k)
            EXPECT_EQ(decoded.state.bills[k], state.bills[k]) << "byte " << at;
    }
}

TEST(OpenStateBytes, AnotherVersionIsNotReadAtAll)
{
    std::vector<std::byte> bytes = encodeOpenState(busyCafe());
    bytes[8] = std::byte{2};
    const DecodedOpenState decoded = decodeOpenState(bytes);
    EXPECT_EQ(decoded.outcome, DecodedOpenState::Outcome::UnknownVersion);
    EXPECT_TRUE(decoded.state.empty());
}

class OpenStateFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingNotifier notifier;
};

TEST_F(OpenStateFileTest, KeepsAndReadsBackAndWritesOnlyWhatChanged)
{
    {
        OpenStateFile file(folder.path(), notifier);
        ASSERT_TRUE(file.open());
        EXPECT_TRUE(file.loaded().empty());
        ASSERT_TRUE(file.keep(busyCafe()));
        struct stat before {};
        ASSERT_EQ(::stat(openFile(folder).c_str(), &before), 0);
        ASSERT_TRUE(file.keep(busyCafe()));
        struct stat after {};
        ASSERT_EQ(::stat(openFile(folder).c_str(), &after), 0);
        EXPECT_EQ(before.st_ino, after.st_ino) << "an unchanged state is not written again";

        OpenStateFile second(folder.path(), notifier);
        EXPECT_FALSE(second.open()) << "one console at a time";
    }
    OpenStateFile again(folder.path(), notifier);
    ASSERT_TRUE(again.open());
    EXPECT_EQ(again.loaded(), busyCafe());
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"Error (11) opening file."});
    EXPECT_EQ(OpenStateFile::read(folder.path())->state, busyCafe());
}

TEST_F(OpenStateFileTest, ADamagedFileIsKeptAsideUnderAFreeNameAndWhatCanBeReadIsUsed)
{
    std::vector<std::byte> bytes = encodeOpenState(busyCafe());
    bytes.resize(bytes.size() - 30); // the end is lost
    writeBytes(openFile(folder), bytes);
    writeBytes(folder.path() / "BriskoOpen.damaged-1", {std::byte{7}});

    OpenStateFile file(folder.path(), notifier);
    ASSERT_TRUE(file.open());
    EXPECT_EQ(file.loaded().bills, busyCafe().bills);
    ASSERT_TRUE(file.keptAside());
    EXPECT_EQ(file.keptAside()->filename(), "BriskoOpen.damaged-2");
    EXPECT_EQ(readBytes(folder.path() / "BriskoOpen.damaged-1"), std::vector<std::byte>{std::byte{7}})
        << "an earlier copy is never overwritten";
    EXPECT_EQ(readBytes(folder.path() / "BriskoOpen.damaged-2"), bytes);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_NE(notifier.messages[0].find("BriskoOpen.damaged-2"), std::string::npos);
    EXPECT_NE(notifier.messages[0].find("3 unpaid bill(s)"), std::string::npos);

    // What could be read is on disk at once, whole, before any change is kept.
    const auto onDisk = OpenStateFile::read(folder.path());
    ASSERT_TRUE(onDisk);
    EXPECT_EQ(onDisk->outcome, DecodedOpenState::Outcome::Whole);
    EXPECT_EQ(onDisk->state.bills, busyCafe().bills);
}

TEST_F(OpenStateFileTest, AFileOfAnotherVersionIsKeptAsideAndTheConsoleStartsEmpty)
{
    std::vector<std::byte> bytes = encodeOpenState(busyCafe());
    bytes[8] = std::byte{9};
    writeBytes(openFile(folder), bytes);
    OpenStateFile file(folder.path(), notifier);
    ASSERT_TRUE(file.open());
    EXPECT_TRUE(file.loaded().empty());
    EXPECT_EQ(readBytes(folder.path() / "BriskoOpen.damaged-1"), bytes);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_NE(notifier.messages[0].find("another version (9)"), std::string::npos);
}

// The rewrite goes to "BriskoOpen.new", is synced and renamed: a power cut at
// any byte of it leaves the old file whole; after the rename, the new one.
TEST_F(OpenStateFileTest, APowerCutAtAnyByteOfARewriteLeavesTheOldStateOrTheNew)
{
    OpenState before = busyCafe();
    OpenState after = before;
    after.bills.erase(after.bills.begin());
    after.held.clear();
    {
        OpenStateFile file(folder.path(), notifier);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.keep(before));
    }
    const std::vector<std::byte> oldBytes = readBytes(openFile(folder));
    const std::vector<std::byte> newBytes = encodeOpenState(after);
    for (std::size_t cut = 0; cut <= newBytes.size(); ++cut) {
        writeBytes(openFile(folder), oldBytes);
        writeBytes(folder.path() / "BriskoOpen.new", {newBytes.begin(), newBytes.begin() + static_cast<long>(cut)});
        OpenStateFile file(folder.path(), notifier);
        ASSERT_TRUE(file.open());
        ASSERT_EQ(file.loaded(), before) << "cut at " << cut;
        ASSERT_TRUE(file.keep(after)) << "a leftover temporary file does not stand in the way";
    }
    OpenStateFile file(folder.path(), notifier);
    ASSERT_TRUE(file.open());
    EXPECT_EQ(file.loaded(), after);
    EXPECT_FALSE(fs::exists(folder.path() / "BriskoOpen.new"));
    EXPECT_TRUE(notifier.messages.empty());
}
