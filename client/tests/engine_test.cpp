// The window states without a console: the station is not configured, so it
// never connects, and everything here is the engine's own state machine.
#include "test_support.h"

#include <gtest/gtest.h>

namespace client::test {

class EngineTest : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingWorkstation workstation;
    TestHost host;
    ClientEngine engine{host, workstation, EngineSettings{StationFolders::allIn(folder.path()), true, {}}};

    void SetUp() override { engine.start(testScreen()); }
    void type(const std::string& text)
    {
        for (char c : text)
            engine.onCharacter(c);
    }
    std::vector<std::string> log() { return logLines(folder.path()); }
    const Placement& lastPlacement() { return workstation.placements.back(); }
};

TEST_F(EngineTest, FreshInstallationStartsLockedAndNeverConnects)
{
    EXPECT_EQ(std::filesystem::file_size(folder.path() / "TambloConfig"), 0u);
    EXPECT_TRUE(engine.state().locked);
    EXPECT_TRUE(workstation.keysDisabled);
    EXPECT_FALSE(workstation.taskbarShown);
    EXPECT_FALSE(workstation.cursorVisible);
    EXPECT_EQ(lastPlacement().rect, (ScreenRect{-1, -2, 1281, 801}));
    EXPECT_EQ(lastPlacement().order, WindowOrder::Topmost);

    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(engine.tick(), TickOutcome::Nothing);
    EXPECT_EQ(log(), std::vector<std::string>{"Found Shell_TrayWnd, hiding."});
    EXPECT_FALSE(engine.link().isConnected());
}

TEST_F(EngineTest, SetupCodeIsExactAndCaseSensitive)
{
    type("K7#W\r");
    type("xk7#w\r");
    type("k7#\r");
    EXPECT_TRUE(engine.state().locked);
    EXPECT_FALSE(engine.state().setupMode);

    type("k7#w");
    EXPECT_TRUE(engine.onCharacter('\r'));
    EXPECT_TRUE(engine.state().setupMode);
    EXPECT_FALSE(engine.state().locked);
    EXPECT_EQ(engine.state().typedCharacters, "");

    // Setup: panel without figures, workstation given back.
    EXPECT_FALSE(workstation.keysDisabled);
    EXPECT_TRUE(workstation.taskbarShown);
    EXPECT_TRUE(workstation.cursorVisible);
    EXPECT_EQ(lastPlacement().rect, (ScreenRect{1081, 560, 1281, 760}));
    auto view = engine.view();
    EXPECT_EQ(view.title, "SETUP");
    EXPECT_FALSE(view.showFigures);
    EXPECT_EQ(view.endSessionText, "EXIT SETUP");
    EXPECT_EQ(engine.endSessionQuestion().title, "Lock Station");
    EXPECT_EQ(engine.endSessionQuestion().text, "EXIT SETUP?");
}

TEST_F(EngineTest, LongTypingNeverMatchesAndStaysSmall)
{
    type(std::string(1000, 'k'));
    EXPECT_LE(engine.state().typedCharacters.size(), 40u); // room for the longest owner's code
    type("\rk7#w\r");
    EXPECT_TRUE(engine.state().setupMode);
}

TEST_F(EngineTest, ExitSetupLocksWithoutTellingTheServer)
{
    type("k7#w\r");
    engine.onLeftButtonDown(100, 120);
    ASSERT_EQ(engine.onLeftButtonUp(100, 120), PanelClick::OpenEndSessionDialog);
    EXPECT_FALSE(engine.endSessionDialogMustClose());
    engine.confirmEndSession();
    EXPECT_TRUE(engine.state().locked);
    EXPECT_FALSE(engine.state().setupMode);
    EXPECT_TRUE(engine.endSessionDialogMustClose());
    EXPECT_TRUE(workstation.keysDisabled);
    EXPECT_EQ(engine.view().title, "Session Information");
    EXPECT_EQ(workstation.sessionEnds, 0) << "the owner's setup is no customer's session";
}

TEST_F(EngineTest, ClickBoxesNeedPressAndReleaseInTheSameBox)
{
    // Presses while locked are ignored.
    engine.onLeftButtonDown(100, 120);
    EXPECT_EQ(engine.onLeftButtonUp(100, 120), PanelClick::None);

    type("k7#w\r");
    engine.onLeftButtonDown(100, 170); // toggle box
    EXPECT_EQ(engine.onLeftButtonUp(100, 120), PanelClick::None);
    engine.onLeftButtonDown(100, 85); // outside both boxes
    EXPECT_EQ(engine.onLeftButtonUp(100, 120), PanelClick::None);
    engine.onLeftButtonDown(100, 120);
    EXPECT_EQ(engine.onLeftButtonUp(100, 170), PanelClick::None);
    // Every release forgets both presses.
    EXPECT_EQ(engine.onLeftButtonUp(100, 120), PanelClick::None);
    EXPECT_EQ(engine.onLeftButtonUp(100, 170), PanelClick::None);
}

TEST_F(EngineTest, ToggleBoxSendsThePanelDownAndBringsItBack)
{
    type("k7#w\r");
    EXPECT_EQ(engine.view().toggleText, "Click HERE to put this\r\npanel in the background");

    engine.onLeftButtonDown(50, 165);
    EXPECT_EQ(engine.onLeftButtonUp(150, 175), PanelClick::PanelToggled);
    EXPECT_EQ(lastPlacement().order, WindowOrder::Bottom);
    EXPECT_EQ(engine.view().toggleText, "Click HERE to keep\r\nthis panel visible");

    engine.onLeftButtonDown(50, 165);
    EXPECT_EQ(engine.onLeftButtonUp(50, 165), PanelClick::PanelToggled);
    EXPECT_EQ(lastPlacement().order, WindowOrder::Topmost);
    EXPECT_EQ(engine.view().toggleText, "Click HERE to put this\r\npanel in the background");
}

TEST_F(EngineTest, CursorChangesByOneStepOnlyWhenTheLockChanges)
{
    EXPECT_EQ(workstation.cursorChanges, 1);
    engine.onKillFocus();
    engine.onKillFocus();
    EXPECT_EQ(workstation.cursorChanges, 1);
    type("k7#w\r");
    EXPECT_EQ(workstation.cursorChanges, 2);
    engine.onLeftButtonDown(50, 165);
    engine.onLeftButtonUp(50, 165);
    EXPECT_EQ(workstation.cursorChanges, 2);
}

TEST_F(EngineTest, LosingTheFocusWhileLockedHidesTheTaskbarAgain)
{
    workstation.taskbarShown = true;
    workstation.placements.clear();
    engine.onKillFocus();
    EXPECT_FALSE(workstation.taskbarShown);
    ASSERT_EQ(workstation.placements.size(), 1u);
    EXPECT_EQ(lastPlacement().order, WindowOrder::Topmost);
    EXPECT_EQ(lastPlacement().rect, engine.state().fullScreen);

    type("k7#w\r");
    workstation.placements.clear();
    engine.onKillFocus();
    EXPECT_TRUE(workstation.placements.empty());
}

TEST_F(EngineTest, WithoutATaskbarOnlyTheDidntFindLinesAreLogged)
{
    workstation.taskbarPresent = false;
    type("k7#w\r");
    engine.onLeftButtonDown(100, 120);
    engine.onLeftButtonUp(100, 120);
    engine.confirmEndSession();
    auto lines = log();
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Found Shell_TrayWnd, hiding.", "m_bLocked(false): Didn't find Shell_TrayWnd.",
                                        "m_bLocked(true): Didn't find Shell_TrayWnd."}));
    EXPECT_TRUE(engine.state().locked);
}

TEST_F(EngineTest, QueryEndSessionLocksAndShowsTheWindowOnce)
{
    type("k7#w\r");
    engine.onQueryEndSession();
    EXPECT_TRUE(engine.state().locked);
    EXPECT_TRUE(contains(log(), "OnQueryEndSession() called."));
    EXPECT_EQ(engine.tick(), TickOutcome::ShowAndRepaint);
    EXPECT_EQ(engine.tick(), TickOutcome::Nothing);
}

TEST_F(EngineTest, ConfigurationDialogStoresTheAddress)
{
    EXPECT_EQ(engine.configuredServerAddress(), platform::Ipv4Address{});
    ASSERT_TRUE(engine.storeServerAddress(*platform::Ipv4Address::parse("10.0.0.1")));
    EXPECT_EQ(readFile(folder.path() / "TambloConfig"), std::string("\x0A\x00\x00\x01", 4));
    EXPECT_EQ(engine.configuredServerAddress().toString(), "10.0.0.1");
    EXPECT_EQ(engine.link().serverAddress().toString(), "10.0.0.1");
}

TEST_F(EngineTest, MouseMovesPlaceTheLockedText)
{
    EXPECT_FALSE(engine.view().pointer);
    engine.onMouseMove(300, 200);
    ASSERT_TRUE(engine.view().pointer);
    EXPECT_EQ(*engine.view().pointer, (WindowPoint{300, 200}));
    EXPECT_TRUE(engine.view().locked);
}

} // namespace client::test
