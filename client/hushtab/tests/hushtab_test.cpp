// The real Hushtab library, loaded the way tamblo loads it.
#include "platform/workstation_task_keys.h"
#include "x11_desktop.h"

#include <gtest/gtest.h>

// After GoogleTest: the X11 headers define macros such as None and Bool.
#include <X11/Xlib.h>
#include <X11/keysym.h>

using client::test::altTabGrabError;

TEST(HushtabX11, BlocksTheTaskKeysUntilReleased)
{
    auto hushtab = platform::TaskKeyLibrary::load(HUSHTAB_FOLDER);
    ASSERT_TRUE(hushtab.isLoaded());
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr) << "needs an X server (run under xvfb-run)";

    // Another client can grab Alt+Tab on the root window only while the keys are free.
    EXPECT_EQ(altTabGrabError(other), 0);
    EXPECT_TRUE(hushtab.disableTaskKeys(true));
    int error = altTabGrabError(other);
    EXPECT_NE(error, 0);
    EXPECT_EQ(error, BadAccess);
    EXPECT_TRUE(hushtab.disableTaskKeys(true)); // twice is harmless
    EXPECT_TRUE(hushtab.disableTaskKeys(false));
    EXPECT_EQ(altTabGrabError(other), 0);
    EXPECT_TRUE(hushtab.disableTaskKeys(false));
    XCloseDisplay(other);
}

TEST(HushtabX11, GrabsTakenByOthersDoNotFailTheCall)
{
    auto hushtab = platform::TaskKeyLibrary::load(HUSHTAB_FOLDER);
    Display* wm = XOpenDisplay(nullptr);
    ASSERT_NE(wm, nullptr);
    KeyCode tab = XKeysymToKeycode(wm, XK_Tab);
    XGrabKey(wm, tab, Mod1Mask, DefaultRootWindow(wm), False, GrabModeAsync, GrabModeAsync);
    XSync(wm, False);
    EXPECT_TRUE(hushtab.disableTaskKeys(true));
    EXPECT_TRUE(hushtab.disableTaskKeys(false));
    XCloseDisplay(wm);
}

TEST(HushtabNoDisplay, CallsAreHarmless)
{
    auto hushtab = platform::TaskKeyLibrary::load(HUSHTAB_FOLDER);
    ASSERT_TRUE(hushtab.isLoaded());
    EXPECT_FALSE(hushtab.disableTaskKeys(true));
    EXPECT_FALSE(hushtab.disableTaskKeys(false));
}
