// "TambloSession": the running session's stamp kept across a restart of the
// client, and what the engine makes of it at start-up.
#include "client/session_stamp_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace client::test {

TEST(SessionStampFileTest, KeepsExactlyTheStampAndForgetsIt)
{
    TempFolder folder;
    auto path = folder.path() / "TambloSession";
    {
        SessionStampFile file(path);
        EXPECT_EQ(file.load(), "");
        ASSERT_TRUE(file.store("20060811105434"));
    }
    EXPECT_EQ(readFile(path), "20060811105434");
    SessionStampFile file(path);
    EXPECT_EQ(file.load(), "20060811105434");
    ASSERT_TRUE(file.store(""));
    EXPECT_EQ(readFile(path), "");
    EXPECT_EQ(file.load(), "");
}

TEST(SessionStampFileTest, AnythingButAValidStampIsNoSession)
{
    TempFolder folder;
    auto path = folder.path() / "TambloSession";
    for (std::string bad :
         {"2006081110543", "200608111054345", "20060811105434\n", "20061311105434", "abcdefghijklmn"}) {
        writeFile(path, bad);
        SessionStampFile file(path);
        EXPECT_EQ(file.load(), "") << bad;
    }
}

class RestartTest : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingWorkstation workstation;
    TestHost host;
    std::unique_ptr<ClientEngine> engine;

    void start(const std::string& config, const std::string& stamp)
    {
        writeFile(folder.path() / "TambloConfig", config);
        writeFile(folder.path() / "TambloSession", stamp);
        engine = std::make_unique<ClientEngine>(host, workstation,
                                                EngineSettings{StationFolders::allIn(folder.path()), true, {}});
        engine->start(testScreen());
    }
};

TEST_F(RestartTest, KeptSessionComesBackUnlocked)
{
    start(std::string("\x7F\x01\x01\x01", 4), "20060811105434");
    EXPECT_FALSE(engine->state().locked);
    EXPECT_EQ(engine->state().sessionStamp, "20060811105434");
    EXPECT_FALSE(workstation.keysDisabled);
    EXPECT_TRUE(workstation.cursorVisible);
    EXPECT_TRUE(workstation.taskbarShown);
    EXPECT_EQ(workstation.placements.back().rect, (ScreenRect{1081, 560, 1281, 760}));
    EXPECT_TRUE(contains(logLines(folder.path()), "Session 20060811105434 kept from before the restart."));
}

TEST_F(RestartTest, WithoutASessionTheStationComesBackLocked)
{
    start(std::string("\x7F\x01\x01\x01", 4), "");
    EXPECT_TRUE(engine->state().locked);
    EXPECT_TRUE(workstation.keysDisabled);
    EXPECT_FALSE(workstation.cursorVisible);
    engine.reset();
    start(std::string("\x7F\x01\x01\x01", 4), "2006081110543X");
    EXPECT_TRUE(engine->state().locked);
    EXPECT_EQ(engine->state().sessionStamp, "");
}

// Nobody could lock a station that never connects: the kept session is dropped.
TEST_F(RestartTest, KeptSessionOfAStationWithoutConsoleIsDropped)
{
    start("", "20060811105434");
    EXPECT_TRUE(engine->state().locked);
    EXPECT_TRUE(workstation.keysDisabled);
    EXPECT_EQ(readFile(folder.path() / "TambloSession"), "");
}

} // namespace client::test
