// tamblo-supervisor with the real tamblo on a private X server (run under
// xvfb-run): a station client killed with SIGKILL is back within 3 s, locked,
// or unlocked and reclaiming its session when one was running; the console's
// "QUIT" ends both programs for good.
#include "platform/tcp_socket.h"
#include "testsupport/process_tree.h"
#include "test_support.h"
#include "xvfb_run_test.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace client::test {

namespace {

// tamblo-supervisor with these arguments, its output in the test's.
std::unique_ptr<Process> startSupervisor(std::vector<std::string> args)
{
    args.insert(args.begin(), SUPERVISOR_BIN);
    return std::make_unique<Process>(std::move(args), ChildOutput::Shown);
}

// Kills the running tamblo as a customer with a shell would; its pid.
pid_t killWorker(const Process& supervisor)
{
    pid_t worker = testsupport::childOf(supervisor.pid());
    if (worker > 0 && kill(worker, SIGKILL) != 0)
        return 0; // ended before the kill: no kill to measure from
    return worker;
}

class SupervisorTest : public XvfbRunTest {
protected:
    void TearDown() override
    {
        supervisor.reset();
        XvfbRunTest::TearDown();
    }
    // The supervisor with tamblo connecting to the test console; the
    // console's side of the first handshake.
    HandshakeResult startConnected()
    {
        supervisor = startSupervisor(stationArgs(folder.path(), *mainListener.localPort()));
        return acceptStation(mainListener, 10s);
    }

    TempFolder folder;
    platform::TcpSocket mainListener = platform::TcpSocket::listenOn(kTestServer, 0, 5).value_or(platform::TcpSocket{});
    std::unique_ptr<Process> supervisor;
};

} // namespace

TEST_F(SupervisorTest, KilledWhileLockedIsBackLockedWithinThreeSeconds)
{
    supervisor = startSupervisor({"--dir", folder.path().string()});
    ASSERT_TRUE(supervisor->started());
    ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }, 10s));

    for (int round = 0; round < 2; ++round) {
        pid_t first = killWorker(*supervisor);
        ASSERT_GT(first, 0);
        auto killedAt = std::chrono::steady_clock::now();
        EXPECT_TRUE(eventually(
            [&] {
                pid_t now = testsupport::childOf(supervisor->pid());
                return now > 0 && now != first && keyboardGrabbedByOthers(display);
            },
            3s))
            << "round " << round;
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - killedAt);
        EXPECT_LT(took, 3s);
        std::printf("round %d: back and locked %lld ms after the kill\n", round, static_cast<long long>(took.count()));
    }
    auto lines = logLines(folder.path());
    EXPECT_TRUE(contains(lines, "tamblo ended (signal 9 (Killed)): started again."));
    // The second kill came soon after a start: it waits a little first.
    EXPECT_TRUE(contains(lines, "tamblo ended (signal 9 (Killed)): started again in 0.5 s."));
}

TEST_F(SupervisorTest, KilledDuringASessionReconnectsAndReclaimsIt)
{
    auto h = startConnected();
    ASSERT_TRUE(h.station.isValid());
    ASSERT_NO_FATAL_FAILURE(startSession(h.station, folder.path()));

    ASSERT_GT(killWorker(*supervisor), 0);
    auto killedAt = std::chrono::steady_clock::now();
    auto again = acceptStation(mainListener, 3s);
    ASSERT_TRUE(again.station.isValid());
    EXPECT_EQ(again.connectText, "CONNECT127.2.2.5");
    EXPECT_EQ(readWithin(again.station, 3s), "STARTED20060811105434");
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - killedAt);
    EXPECT_LT(took, 3s);
    std::printf("session reclaimed %lld ms after the kill\n", static_cast<long long>(took.count()));
    EXPECT_FALSE(keyboardGrabbedByOthers(display));
}

// The customer's own `kill` (SIGTERM) or SIGHUP of tamblo is an end nobody at
// the counter ordered: tamblo goes through its close path and is back locked.
TEST_F(SupervisorTest, ASigtermOrSighupOfTambloBringsItBackLocked)
{
    supervisor = startSupervisor({"--dir", folder.path().string()});
    ASSERT_TRUE(supervisor->started());
    ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }, 10s));
    for (int signal : {SIGTERM, SIGHUP}) {
        const pid_t first = testsupport::childOf(supervisor->pid());
        ASSERT_GT(first, 0);
        ASSERT_EQ(kill(first, signal), 0);
        EXPECT_TRUE(eventually(
            [&] {
                const pid_t now = testsupport::childOf(supervisor->pid());
                return now > 0 && now != first && keyboardGrabbedByOthers(display);
            },
            3s))
            << "signal " << signal;
    }
    EXPECT_TRUE(contains(logLines(folder.path()), "tamblo ended (exit code 3): started again."));
}

TEST_F(SupervisorTest, QuitFromTheConsoleEndsTambloWithoutARestart)
{
    auto h = startConnected();
    ASSERT_TRUE(h.station.isValid());
    h.station.send("QUIT");
    EXPECT_EQ(readWithin(h.station, 5s), "OK");
    auto status = supervisor->exitStatus(5s);
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(*status, -1); // exited, not killed by a signal
    EXPECT_EQ(*status, 0);
    EXPECT_FALSE(contains(logLines(folder.path()), "tamblo ended (exit code 0): started again."));
}

TEST_F(SupervisorTest, StoppingTheSupervisorStopsTamblo)
{
    supervisor = startSupervisor({"--dir", folder.path().string()});
    ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }, 10s));
    pid_t worker = testsupport::childOf(supervisor->pid());
    ASSERT_GT(worker, 0);
    ASSERT_EQ(kill(supervisor->pid(), SIGTERM), 0);
    ASSERT_TRUE(supervisor->exitStatus(5s).has_value());
    EXPECT_NE(kill(worker, 0), 0); // gone, not left behind
    EXPECT_TRUE(eventually([&] { return !keyboardGrabbedByOthers(display); }));
}

TEST_F(SupervisorTest, ASigtermWhileTheConsoleIsAwayEndsTambloAtOnce)
{
    // Every connect is refused, so tamblo is always in the middle of an attempt.
    supervisor = startSupervisor(stationArgs(folder.path(), unusedPort()));
    ASSERT_TRUE(eventually([&] { return contains(logLines(folder.path()), "Select timed out."); }, 10s));
    auto asked = std::chrono::steady_clock::now();
    ASSERT_EQ(kill(supervisor->pid(), SIGTERM), 0);
    ASSERT_TRUE(supervisor->exitStatus(5s).has_value());
    // Ended by itself, through its close path, not killed after the grace period.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 1500ms);
    EXPECT_TRUE(contains(logLines(folder.path()), "Ended by a signal."));
}

TEST_F(SupervisorTest, RefusedArgumentsAreNotTriedAgain)
{
    supervisor = startSupervisor({"--dir", (folder.path() / "missing").string()});
    auto status = supervisor->exitStatus(5s);
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(*status, -1); // exited, not killed by a signal
    EXPECT_EQ(*status, 2);  // tamblo's own answer, passed on
}

// Debian names its host 127.0.1.1 in /etc/hosts. A station set up there
// without --address announces the address its connection really comes from,
// which the console sees, and is taken.
TEST_F(SupervisorTest, AHostNameOn127011DoesNotHideTheStationsAddress)
{
    if (geteuid() != 0 || !haveProgram("/usr/bin/unshare"))
        GTEST_SKIP() << "needs root and unshare for a host table of its own";
    // The machine's own host name, as Debian's installer writes it (a new
    // name would also lose the X server's cookie, which is kept per host).
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    writeFile(folder.path() / "hosts", "127.0.0.1 localhost\n127.0.1.1 " + std::string(host) + "\n");
    auto args = stationArgs(folder.path(), *mainListener.localPort());
    std::string station = (std::filesystem::path(SUPERVISOR_BIN).parent_path() / "tamblo").string();
    for (std::size_t i = 0; i < args.size(); ++i)
        if (args[i] != "--address")
            station += " '" + args[i] + "'";
        else
            ++i;
    Process tamblo({"/usr/bin/unshare", "--mount", "/bin/sh", "-c",
                    "mount --bind '" + (folder.path() / "hosts").string() + "' /etc/hosts && getent hosts " + host +
                        " | grep -q '^127.0.1.1 ' && exec " + station},
                   ChildOutput::Shown);
    auto h = acceptStation(mainListener, 10s);
    ASSERT_TRUE(h.station.isValid()) << "the console refused the station";
    EXPECT_EQ(h.connectText, "CONNECT" + h.peer.toString());
    EXPECT_NE(h.peer.toString(), "127.0.1.1");
}

} // namespace client::test
