// Child processes and the supervisor's signal wait, with real programs.
#include "platform/child_process.h"
#include "platform/supervisor_signals.h"
#include "platform/display_server.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

using namespace std::chrono_literals;

ChildProcess shell(const std::string& script)
{
    return ChildProcess::start({"/bin/sh", "-c", script}).value_or(ChildProcess{});
}

ExitStatus waitEnd(SupervisorSignals& signals, ChildProcess& child)
{
    for (int i = 0; i < 100; ++i) {
        if (auto status = child.poll())
            return *status;
        signals.wait(100ms);
    }
    ADD_FAILURE() << "the child did not end";
    return {};
}

TEST(ChildProcess, ReportsExitCodesAndSignalsAsTheyWere)
{
    SupervisorSignals signals;
    auto exits = shell("exit 3");
    ASSERT_TRUE(exits.running());
    auto status = waitEnd(signals, exits);
    EXPECT_FALSE(status.signalled);
    EXPECT_EQ(status.code, 3);
    EXPECT_EQ(status.describe(), "exit code 3");
    EXPECT_FALSE(exits.running());

    auto sleeper = shell("sleep 30");
    sleeper.signal(SIGKILL);
    status = waitEnd(signals, sleeper);
    EXPECT_TRUE(status.signalled);
    EXPECT_EQ(status.code, SIGKILL);
    EXPECT_EQ(status.describe().rfind("signal 9", 0), 0u);
}

// The reason comes back from each way of starting: posix_spawn's own, and
// the forked child's, which it writes back through a pipe before exec.
TEST(ChildProcess, AMissingProgramIsNotStarted)
{
    EXPECT_EQ(ChildProcess::start({"/nonexistent/tamblo"}).error_or(std::errc{}), std::errc::no_such_file_or_directory);
    EXPECT_EQ(ChildProcess::start({}).error_or(std::errc{}), std::errc::invalid_argument);

    ChildStart passing;
    passing.passedFd = STDERR_FILENO;
    passing.passedFdVariable = "TAMBLO_NOTICES";
    EXPECT_EQ(ChildProcess::start({"/nonexistent/tamblo"}, passing).error_or(std::errc{}),
              std::errc::no_such_file_or_directory);
}

TEST(ChildProcess, StopAsksFirstAndKillsAChildThatDoesNotListen)
{
    // The supervisor blocks SIGTERM for itself; its children must still obey it.
    SupervisorSignals signals;
    auto polite = shell("exec sleep 30");
    std::this_thread::sleep_for(50ms);
    auto status = polite.stop(2s);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->signalled);
    EXPECT_EQ(status->code, SIGTERM);

    auto stubborn = shell("trap '' TERM; while :; do sleep 0.05; done");
    std::this_thread::sleep_for(100ms);
    auto begun = std::chrono::steady_clock::now();
    status = stubborn.stop(300ms);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->code, SIGKILL);
    EXPECT_LT(std::chrono::steady_clock::now() - begun, 2s);
}

TEST(SupervisorSignals, WakesOnAChildsEndAndOnAStopRequest)
{
    SupervisorSignals signals;
    EXPECT_EQ(signals.wait(20ms), SupervisorSignals::Wake::TimedOut);
    auto child = shell("sleep 0.1");
    auto begun = std::chrono::steady_clock::now();
    EXPECT_EQ(signals.wait(5s), SupervisorSignals::Wake::ChildEnded);
    EXPECT_LT(std::chrono::steady_clock::now() - begun, 2s);
    EXPECT_TRUE(child.poll());

    // A stop request that came before the wait is not lost.
    ::raise(SIGTERM);
    EXPECT_EQ(signals.wait(1s), SupervisorSignals::Wake::StopRequested);
    ::raise(SIGHUP);
    EXPECT_EQ(signals.wait(1s), SupervisorSignals::Wake::StopRequested);
}

TEST(DisplayServer, LocalDisplayNamesMapToTheirSockets)
{
    EXPECT_EQ(x11DisplaySocketPath(":0"), "/tmp/.X11-unix/X0");
    EXPECT_EQ(x11DisplaySocketPath(":12.0"), "/tmp/.X11-unix/X12");
    EXPECT_EQ(x11DisplaySocketPath("unix:3"), "/tmp/.X11-unix/X3");
    EXPECT_EQ(x11DisplaySocketPath("otherhost:0"), "");
    EXPECT_EQ(x11DisplaySocketPath(":"), "");
    EXPECT_EQ(x11DisplaySocketPath(":x"), "");
    EXPECT_EQ(x11DisplaySocketPath(""), "");
}

// The command lines lightdm and gdm3 start their X servers with.
TEST(DisplayServer, TheAuthorityFileIsTakenFromTheServerOfThatDisplay)
{
    const std::vector<std::string> lightdm{"/usr/lib/xorg/Xorg",       ":0",        "-seat", "seat0", "-auth",
                                           "/var/run/lightdm/root/:0", "-nolisten", "tcp",   "vt7"};
    const std::vector<std::string> gdm{"/usr/lib/xorg/Xorg",           "vt2",       "-displayfd", "3", "-auth",
                                       "/run/user/117/gdm/Xauthority", "-nolisten", "tcp",        ":1"};
    EXPECT_EQ(xServerAuthorityIn(lightdm, ":0"), "/var/run/lightdm/root/:0");
    EXPECT_EQ(xServerAuthorityIn(lightdm, "unix:0.0"), "/var/run/lightdm/root/:0");
    EXPECT_EQ(xServerAuthorityIn(gdm, ":1"), "/run/user/117/gdm/Xauthority");
    EXPECT_EQ(xServerAuthorityIn(lightdm, ":1"), std::nullopt) << "another display's server";
    EXPECT_EQ(xServerAuthorityIn({"/usr/bin/Xorg", ":0"}, ":0"), std::nullopt) << "no -auth";
    EXPECT_EQ(xServerAuthorityIn({"/bin/sh", ":0", "-auth", "/tmp/x"}, ":0"), std::nullopt) << "not an X server";
    EXPECT_EQ(xServerAuthorityIn({"/usr/lib/xorg/Xorg", ":0", "-auth"}, ":0"), std::nullopt);
}

TEST(DisplayServer, NoDisplayAtAllDoesNotAnswer)
{
    auto keep = [](const char* name) {
        const char* v = std::getenv(name);
        return std::pair<std::string, bool>(v ? v : "", v != nullptr);
    };
    auto display = keep("DISPLAY"), wayland = keep("WAYLAND_DISPLAY"), qpa = keep("QT_QPA_PLATFORM");
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    ::setenv("DISPLAY", ":987", 1); // no such server
    EXPECT_FALSE(displayServerAnswers());
    ::unsetenv("DISPLAY");
    EXPECT_FALSE(displayServerAnswers());
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EXPECT_TRUE(displayServerAnswers());
    auto restore = [](const char* name, const std::pair<std::string, bool>& v) {
        if (v.second)
            ::setenv(name, v.first.c_str(), 1);
        else
            ::unsetenv(name);
    };
    restore("DISPLAY", display);
    restore("WAYLAND_DISPLAY", wayland);
    restore("QT_QPA_PLATFORM", qpa);
}

} // namespace
} // namespace platform
