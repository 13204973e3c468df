#pragma once
// The base of the tests that run on the X server xvfb-run started for them:
// the test's own connection to it, and the station programs the test starts
// drawing on it.
//
// Thread contract: the test's main thread.

#include "x11_desktop.h"

#include <gtest/gtest.h>

// After GoogleTest: the X11 headers define macros such as None and Bool.
#include <X11/Xlib.h>

namespace client::test {

class XvfbRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "needs an X server (run under xvfb-run)";
        useX11ForChildren();
    }
    void TearDown() override
    {
        if (display)
            XCloseDisplay(display);
    }

    Display* display = nullptr;
};

} // namespace client::test
