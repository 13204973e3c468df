#pragma once
// The base of the tests that run the real station programs on the X server
// xvfb-run started for them: the test's own connection to it, the programs
// drawing on it, and the console's side of starting a session.
//
// Thread contract: the test's main thread.

#include "platform/tcp_socket.h"
#include "test_support.h"
#include "x11_desktop.h"

#include <gtest/gtest.h>

// After GoogleTest: the X11 headers define macros such as None and Bool.
#include <X11/Xlib.h>

namespace client::test {

// "UNLOCK" and the figures of a session with the stamp 20060811105434, each
// answered "OK", and the stamp kept in "TambloSession" in `folder`. Call
// through ASSERT_NO_FATAL_FAILURE.
inline void startSessionOn(platform::TcpSocket& station, const std::filesystem::path& folder)
{
    station.send("UNLOCK");
    EXPECT_EQ(readWithin(station, 5s), "OK");
    station.send("01:05\x80"
                 "2.50,\x80"
                 "1.00,\x80"
                 "3.50,20060811105434");
    EXPECT_EQ(readWithin(station, 5s), "OK");
    ASSERT_TRUE(eventually([&] { return readFile(folder / "TambloSession") == "20060811105434"; }));
}

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

    static void startSession(platform::TcpSocket& station, const std::filesystem::path& folder)
    {
        startSessionOn(station, folder);
    }

    Display* display = nullptr;
};

} // namespace client::test
