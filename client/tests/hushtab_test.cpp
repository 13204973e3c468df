// The real Hushtab library, loaded the way tamblo loads it.
#include "platform/workstation_task_keys.h"

#include <gtest/gtest.h>

// After GoogleTest: the X11 headers define macros such as None and Bool.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

int lastXError = 0;
int recordXError(Display*, XErrorEvent* e)
{
    lastXError = e->error_code;
    return 0;
}

// Whether another client can grab Alt+Tab on the root window right now.
bool otherClientCanGrabAltTab(Display* d)
{
    lastXError = 0;
    XErrorHandler previous = XSetErrorHandler(recordXError);
    KeyCode tab = XKeysymToKeycode(d, XK_Tab);
    XGrabKey(d, tab, Mod1Mask, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync);
    XSync(d, False);
    bool ok = lastXError == 0;
    if (ok)
        XUngrabKey(d, tab, Mod1Mask, DefaultRootWindow(d));
    XSync(d, False);
    XSetErrorHandler(previous);
    return ok;
}

} // namespace

TEST(HushtabX11, BlocksTheTaskKeysUntilReleased)
{
    auto hushtab = platform::TaskKeyLibrary::load(HUSHTAB_FOLDER);
    ASSERT_TRUE(hushtab.isLoaded());
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr) << "needs an X server (run under xvfb-run)";

    EXPECT_TRUE(otherClientCanGrabAltTab(other));
    EXPECT_TRUE(hushtab.disableTaskKeys(true));
    EXPECT_FALSE(otherClientCanGrabAltTab(other));
    EXPECT_EQ(lastXError, BadAccess);
    EXPECT_TRUE(hushtab.disableTaskKeys(true)); // twice is harmless
    EXPECT_TRUE(hushtab.disableTaskKeys(false));
    EXPECT_TRUE(otherClientCanGrabAltTab(other));
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
