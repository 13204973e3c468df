// The lock's X11 pieces on a private X server (xvfb-run): the server's own
// keys turned off and back, also after a run that never put them back; the
// window order watched and restored.
#include "platform/workstation_server_keys.h"
#include "platform/workstation_window_stack.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

// After GoogleTest: the X11 headers define macros such as None and Bool.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace platform {

namespace {

// The console switch is in every keyboard map; the kill key only with this option.
void addKillKey() { ASSERT_EQ(std::system("setxkbmap -option '' -option terminate:ctrl_alt_bksp"), 0); }

Window topLevel(Display* d)
{
    XSetWindowAttributes a{};
    a.override_redirect = True;
    Window w = XCreateWindow(d, DefaultRootWindow(d), 0, 0, 50, 50, 0, CopyFromParent, InputOutput, CopyFromParent,
                             CWOverrideRedirect, &a);
    XMapWindow(d, w);
    XSync(d, False);
    return w;
}

// The server sends the notices to the other connection a moment later.
bool noticesArrive(WindowStack& stack)
{
    for (int i = 0; i < 100; ++i) {
        if (stack.takeNotices())
            return true;
        usleep(10000);
    }
    return false;
}

} // namespace

TEST(ServerKeysX11, TurnsTheConsoleSwitchAndKillKeyOffAndBack)
{
    addKillKey();
    ServerKeys keys;
    ASSERT_TRUE(keys.hasDisplay()) << "needs an X server (run under xvfb-run)";
    int before = keys.activeCount();
    ASSERT_GT(before, 12); // F1..F12 switch consoles, Backspace ends the server

    EXPECT_TRUE(keys.disable());
    EXPECT_EQ(keys.activeCount(), 0);
    EXPECT_TRUE(keys.disable()); // twice is harmless
    EXPECT_TRUE(keys.restore());
    EXPECT_EQ(keys.activeCount(), before);
    EXPECT_FALSE(keys.restore()); // nothing left to put back

    {
        ServerKeys scoped;
        scoped.disable();
        EXPECT_EQ(keys.activeCount(), 0);
    }
    EXPECT_EQ(keys.activeCount(), before); // the object's end puts them back
}

TEST(ServerKeysX11, ARunThatDiedWithTheKeysOffLeavesTheEarlierOnesToTheNext)
{
    addKillKey();
    ServerKeys probe;
    int before = probe.activeCount();
    ASSERT_GT(before, 0);

    // Killed: a run in a process of its own turns the keys off and ends without
    // its destructor, so nothing is put back.
    const pid_t crashed = ::fork();
    ASSERT_GE(crashed, 0);
    if (crashed == 0) {
        ServerKeys keys;
        ::_exit(keys.disable() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(crashed, &status, 0), crashed);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(probe.activeCount(), 0);

    ServerKeys next;
    EXPECT_TRUE(next.disable());
    EXPECT_EQ(probe.activeCount(), 0);
    EXPECT_TRUE(next.restore());
    EXPECT_EQ(probe.activeCount(), before);
}

TEST(ServerKeysX11, AKeyboardPluggedInWhileOffIsNoticedAndTurnedOffToo)
{
    addKillKey();
    ServerKeys keys;
    int before = keys.activeCount();
    ASSERT_TRUE(keys.disable());
    ASSERT_EQ(keys.activeCount(), 0);
    keys.takeNotices();

    // A new keyboard (a master with its own test keyboard) comes with the
    // server's default map, console switch included.
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    XIAddMasterInfo add{};
    add.type = XIAddMaster;
    add.name = const_cast<char*>("plugged");
    add.send_core = True;
    add.enable = True;
    XIChangeHierarchy(d, reinterpret_cast<XIAnyHierarchyChangeInfo*>(&add), 1);
    XSync(d, False);
    bool noticed = false;
    for (int i = 0; i < 100 && !noticed; ++i) {
        noticed = keys.takeNotices();
        usleep(10000);
    }
    EXPECT_TRUE(noticed);
    EXPECT_GT(keys.activeCount(), 0);
    EXPECT_TRUE(keys.disable());
    EXPECT_EQ(keys.activeCount(), 0);

    EXPECT_TRUE(keys.restore());
    EXPECT_GE(keys.activeCount(), before);
    XCloseDisplay(d);
}

TEST(WindowStackX11, SeesANewWindowOnTopAndPutsTheGivenOnesBackAbove)
{
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    WindowStack stack;
    ASSERT_TRUE(stack.hasDisplay());
    EXPECT_GE(stack.fd(), 0);
    Window cover = topLevel(d);
    Window lock = topLevel(d);
    EXPECT_TRUE(noticesArrive(stack));
    usleep(50000);
    stack.takeNotices();
    EXPECT_FALSE(stack.takeNotices());
    EXPECT_TRUE(stack.onTop({static_cast<WindowId>(lock), static_cast<WindowId>(cover)}));

    Window intruder = topLevel(d);
    EXPECT_TRUE(noticesArrive(stack));
    EXPECT_FALSE(stack.onTop({static_cast<WindowId>(lock), static_cast<WindowId>(cover)}));
    stack.raise({static_cast<WindowId>(lock), static_cast<WindowId>(cover)});
    EXPECT_TRUE(stack.onTop({static_cast<WindowId>(lock), static_cast<WindowId>(cover)}));

    // Unmapped and shrunk behind the lock's back: put back, once.
    XUnmapWindow(d, lock);
    XResizeWindow(d, lock, 20, 20);
    XSync(d, False);
    EXPECT_TRUE(stack.restore(static_cast<WindowId>(lock), 0, 0, 50, 50));
    XWindowAttributes a{};
    XGetWindowAttributes(d, lock, &a);
    EXPECT_EQ(a.map_state, IsViewable);
    EXPECT_EQ(a.width, 50);
    EXPECT_FALSE(stack.restore(static_cast<WindowId>(lock), 0, 0, 50, 50));

    // A window that is gone is no error.
    XDestroyWindow(d, intruder);
    XSync(d, False);
    stack.raise({static_cast<WindowId>(intruder), static_cast<WindowId>(lock)});
    EXPECT_TRUE(stack.onTop({static_cast<WindowId>(lock)}));
    XCloseDisplay(d);
}

} // namespace platform
