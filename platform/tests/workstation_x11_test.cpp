// Runs on a private X server (xvfb-run); the NoDisplay cases without any.
#include "platform/workstation_desktop_panels.h"

#include <gtest/gtest.h>

// After GoogleTest: the X11 headers define macros such as None and Bool.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace platform {

namespace {

// A stand-in taskbar: a mapped window that declares itself a dock.
Window createDock(Display* d)
{
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 440, 640, 40, 0, 0, 0);
    Atom type = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
    Atom dock = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DOCK", False);
    XChangeProperty(d, w, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&dock), 1);
    XMapWindow(d, w);
    XSync(d, False);
    return w;
}

int mapState(Display* d, Window w)
{
    XWindowAttributes a{};
    XGetWindowAttributes(d, w, &a);
    return a.map_state;
}

} // namespace

TEST(DesktopPanelsX11, HidesAndShowsEveryDockWindow)
{
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr) << "needs an X server (run under xvfb-run)";
    Window plain = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 100, 100, 0, 0, 0);
    XMapWindow(d, plain);
    XSync(d, False);

    DesktopPanels panels;
    ASSERT_TRUE(panels.hasDisplay());
    EXPECT_EQ(panels.count(), 0u);
    EXPECT_FALSE(panels.hide()); // no taskbar to find

    Window dock1 = createDock(d);
    Window dock2 = createDock(d);
    EXPECT_EQ(panels.count(), 2u);
    EXPECT_TRUE(panels.hide());
    EXPECT_EQ(mapState(d, dock1), IsUnmapped);
    EXPECT_EQ(mapState(d, dock2), IsUnmapped);
    EXPECT_EQ(mapState(d, plain), IsViewable);

    EXPECT_TRUE(panels.show());
    EXPECT_EQ(mapState(d, dock1), IsViewable);
    EXPECT_EQ(mapState(d, dock2), IsViewable);

    // A dock that goes away while hidden is simply not found any more.
    panels.hide();
    XDestroyWindow(d, dock1);
    XSync(d, False);
    EXPECT_TRUE(panels.show());
    EXPECT_EQ(panels.count(), 1u);
    XCloseDisplay(d);
}

TEST(NoDisplay, FindsNothingAndDoesNotFail)
{
    DesktopPanels panels(":99999");
    EXPECT_FALSE(panels.hasDisplay());
    EXPECT_FALSE(panels.hide());
    EXPECT_FALSE(panels.show());
    EXPECT_EQ(panels.count(), 0u);
}

} // namespace platform
