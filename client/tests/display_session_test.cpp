// A Wayland desktop session: the station says it needs X11 instead of
// pretending to lock; X11 and screenless drawing are not affected.
#include "client/display_session.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace client::test {

TEST(DisplaySession, OnlyAWaylandSessionDrawnWithoutX11NeedsX11)
{
    EXPECT_FALSE(needsX11Session({"", "x11", "xcb"}));
    EXPECT_FALSE(needsX11Session({"", "", "xcb"}));
    EXPECT_TRUE(needsX11Session({"wayland-0", "wayland", "wayland"}));
    EXPECT_TRUE(needsX11Session({"", "", "wayland-egl"}));
    EXPECT_TRUE(needsX11Session({"wayland-0", "", "eglfs"}));
    EXPECT_TRUE(needsX11Session({"", "wayland", "vnc"}));
    // A private X server opened from a Wayland desktop holds its own lock.
    EXPECT_FALSE(needsX11Session({"wayland-0", "wayland", "xcb"}));
    // No screen at all: nothing to pretend about.
    EXPECT_FALSE(needsX11Session({"wayland-0", "wayland", "offscreen"}));
    EXPECT_FALSE(needsX11Session({"wayland-0", "wayland", "minimal"}));
}

TEST(DisplaySession, TheLockedScreenAndTheLogSaySoAndTheStationGoesOn)
{
    TempFolder folder;
    RecordingWorkstation workstation;
    TestHost host;
    ClientEngine engine(host, workstation, EngineSettings{StationFolders::allIn(folder.path()), true, {}});
    EXPECT_EQ(engine.view().lockedText, "STATION LOCKED");
    engine.noteLockNotEnforced();
    engine.start(testScreen());
    EXPECT_TRUE(engine.view().locked);
    EXPECT_EQ(engine.view().lockedText, "This station needs an X11 session");
    EXPECT_TRUE(contains(logLines(folder.path()),
                         "This station needs an X11 session: this desktop session is Wayland, where the lock "
                         "cannot be enforced."));
    // Setup still opens; the notice comes back with the lock.
    for (char c : std::string(kSetupCode))
        engine.onCharacter(c);
    EXPECT_TRUE(engine.onCharacter('\r'));
    EXPECT_FALSE(engine.view().locked);
    engine.confirmEndSession();
    EXPECT_EQ(engine.view().lockedText, "This station needs an X11 session");
}

} // namespace client::test
