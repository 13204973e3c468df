// tamblo-supervisor with the real tamblo on a private X server (run under
// xvfb-run): a station client killed with SIGKILL is back within 3 s, locked,
// or unlocked and reclaiming its session when one was running; the console's
// "QUIT" ends both programs for good.
#include "platform/tcp_socket.h"
#include "test_support.h"
#include "x11_desktop.h"

#include <gtest/gtest.h>

// After GoogleTest: the X11 headers define macros such as None and Bool.
#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace client::test {

namespace {

class Supervisor {
public:
    explicit Supervisor(std::vector<std::string> args)
    {
        args.insert(args.begin(), SUPERVISOR_BIN);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
    }
    ~Supervisor()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    Supervisor(const Supervisor&) = delete;
    Supervisor& operator=(const Supervisor&) = delete;
    pid_t pid() const { return pid_; }
    bool ended(std::chrono::milliseconds limit, int* status = nullptr)
    {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (waitpid(pid_, status, WNOHANG) == pid_) {
                pid_ = -1;
                return true;
            }
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

private:
    pid_t pid_ = -1;
};

// The process whose parent is `parent`, or 0.
pid_t childOf(pid_t parent)
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        if (!std::getline(stat, text))
            continue;
        // pid (comm) state ppid ...: the name may hold spaces, so read after its ")".
        auto close = text.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(text.substr(close + 1));
        std::string state;
        pid_t ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent && state != "Z")
            return static_cast<pid_t>(std::stol(entry.path().filename().string()));
    }
    return 0;
}

bool eventually(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}


// Kills the running tamblo as a customer with a shell would; its pid.
pid_t killWorker(const Supervisor& supervisor)
{
    pid_t worker = childOf(supervisor.pid());
    if (worker > 0)
        kill(worker, SIGKILL);
    return worker;
}

class SupervisorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "needs an X server (run under xvfb-run)";
    }
    void TearDown() override
    {
        if (display)
            XCloseDisplay(display);
    }
    std::vector<std::string> stationArgs(platform::TcpSocket& listener)
    {
        writeFile(folder.path() / "TambloConfig", std::string("\x7F\x01\x01\x01", 4));
        return {"--dir", folder.path().string(), "--address", "127.2.2.5", "--port",
                std::to_string(*listener.localPort())};
    }

    Display* display = nullptr;
    TempFolder folder;
};

} // namespace

TEST_F(SupervisorTest, KilledWhileLockedIsBackLockedWithinThreeSeconds)
{
    Supervisor supervisor({"--dir", folder.path().string()});
    ASSERT_GT(supervisor.pid(), 0);
    ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }, 10s));

    for (int round = 0; round < 2; ++round) {
        pid_t first = killWorker(supervisor);
        ASSERT_GT(first, 0);
        auto killedAt = std::chrono::steady_clock::now();
        EXPECT_TRUE(eventually(
            [&] {
                pid_t now = childOf(supervisor.pid());
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
    auto mainListener = platform::TcpSocket::listenOn(kTestServer, 0, 5);
    Supervisor supervisor(stationArgs(mainListener));
    auto h = acceptStation(mainListener, 10s);
    ASSERT_TRUE(h.station.isValid());
    h.station.send("UNLOCK");
    EXPECT_EQ(readWithin(h.station, 5s), "OK");
    h.station.send("01:05\x80" "2.50,\x80" "1.00,\x80" "3.50,20060811105434");
    EXPECT_EQ(readWithin(h.station, 5s), "OK");
    ASSERT_TRUE(eventually([&] { return readFile(folder.path() / "TambloSession") == "20060811105434"; }));

    ASSERT_GT(killWorker(supervisor), 0);
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

TEST_F(SupervisorTest, QuitFromTheConsoleEndsTambloWithoutARestart)
{
    auto mainListener = platform::TcpSocket::listenOn(kTestServer, 0, 5);
    Supervisor supervisor(stationArgs(mainListener));
    auto h = acceptStation(mainListener, 10s);
    ASSERT_TRUE(h.station.isValid());
    h.station.send("QUIT");
    EXPECT_EQ(readWithin(h.station, 5s), "OK");
    int status = -1;
    ASSERT_TRUE(supervisor.ended(5s, &status));
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(contains(logLines(folder.path()), "tamblo ended (exit code 0): started again."));
}

TEST_F(SupervisorTest, StoppingTheSupervisorStopsTamblo)
{
    Supervisor supervisor({"--dir", folder.path().string()});
    ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }, 10s));
    pid_t worker = childOf(supervisor.pid());
    ASSERT_GT(worker, 0);
    kill(supervisor.pid(), SIGTERM);
    ASSERT_TRUE(supervisor.ended(5s));
    EXPECT_NE(kill(worker, 0), 0); // gone, not left behind
    EXPECT_TRUE(eventually([&] { return !keyboardGrabbedByOthers(display); }));
}

TEST_F(SupervisorTest, ASigtermWhileTheConsoleIsAwayEndsTambloAtOnce)
{
    // Every connect is refused, so tamblo is always in the middle of an attempt.
    writeFile(folder.path() / "TambloConfig", std::string("\x7F\x01\x01\x01", 4));
    Supervisor supervisor({"--dir", folder.path().string(), "--address", "127.2.2.5", "--port",
                           std::to_string(unusedPort())});
    ASSERT_TRUE(eventually([&] { return contains(logLines(folder.path()), "Select timed out."); }, 10s));
    auto asked = std::chrono::steady_clock::now();
    kill(supervisor.pid(), SIGTERM);
    ASSERT_TRUE(supervisor.ended(5s));
    // Ended by itself, through its close path, not killed after the grace period.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 1500ms);
    EXPECT_TRUE(contains(logLines(folder.path()), "Ended by a signal."));
}

TEST_F(SupervisorTest, RefusedArgumentsAreNotTriedAgain)
{
    Supervisor supervisor({"--dir", (folder.path() / "missing").string()});
    int status = -1;
    ASSERT_TRUE(supervisor.ended(5s, &status));
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2); // tamblo's own answer, passed on
}

} // namespace client::test
