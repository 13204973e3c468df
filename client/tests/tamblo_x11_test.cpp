// The real tamblo program on a private X server (run under xvfb-run): the
// locked station holds the keyboard, blocks the task keys and hides the
// desktop's dock; the setup code typed on the keyboard gives them back.
#include "client/setup_code_file.h"
#include "platform/tcp_socket.h"
#include "test_support.h"

#include <gtest/gtest.h>

// After GoogleTest: the X11 headers define macros such as None and Bool.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace client::test {

namespace {

int lastXError = 0;
int recordXError(Display*, XErrorEvent* e)
{
    lastXError = e->error_code;
    return 0;
}

class Program {
public:
    explicit Program(std::vector<std::string> args)
    {
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
    }
    ~Program()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    bool started() const { return pid_ > 0; }
    // As a customer with a shell would: no chance to clean up.
    void killHard()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    // Waits for the program to end by itself.
    bool ended(std::chrono::milliseconds limit)
    {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
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

bool eventually(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

bool keyboardGrabbedByOthers(Display* d)
{
    int status = XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (status == GrabSuccess)
        XUngrabKeyboard(d, CurrentTime);
    XSync(d, False);
    return status == AlreadyGrabbed;
}

bool altTabBlocked(Display* d)
{
    lastXError = 0;
    XErrorHandler previous = XSetErrorHandler(recordXError);
    KeyCode tab = XKeysymToKeycode(d, XK_Tab);
    XGrabKey(d, tab, Mod1Mask, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync);
    XSync(d, False);
    bool blocked = lastXError == BadAccess;
    if (!blocked)
        XUngrabKey(d, tab, Mod1Mask, DefaultRootWindow(d));
    XSync(d, False);
    XSetErrorHandler(previous);
    return blocked;
}

Window createDock(Display* d)
{
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 760, 1280, 40, 0, 0, 0);
    Atom type = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
    Atom dock = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DOCK", False);
    XChangeProperty(d, w, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&dock), 1);
    XMapWindow(d, w);
    XSync(d, False);
    return w;
}

bool mapped(Display* d, Window w)
{
    XWindowAttributes a{};
    XGetWindowAttributes(d, w, &a);
    return a.map_state != IsUnmapped;
}

void run(std::vector<std::string> args)
{
    Program p(std::move(args));
    p.ended(10s);
}

void typeAndEnter(const std::string& text)
{
    run({"/usr/bin/xdotool", "type", "--delay", "20", text});
    run({"/usr/bin/xdotool", "key", "Return"});
}

const std::string kOwnersCode = "Owner-42";

void storeOwnersCode(const std::filesystem::path& folder)
{
    SetupCodeFile file(folder / "TambloSetup");
    file.load();
    ASSERT_TRUE(file.store(kOwnersCode));
}

} // namespace

TEST(TambloOnX11, LockedStationHoldsTheDesktopUntilTheSetupCode)
{
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr) << "needs an X server (run under xvfb-run)";
    Window dock = createDock(d);
    TempFolder folder;

    Program tamblo({TAMBLO_BIN, "--dir", folder.path().string()});
    ASSERT_TRUE(tamblo.started());
    EXPECT_TRUE(eventually([&] { return keyboardGrabbedByOthers(d); }));
    EXPECT_TRUE(altTabBlocked(d));
    EXPECT_TRUE(eventually([&] { return !mapped(d, dock); }));
    EXPECT_TRUE(contains(logLines(folder.path()), "Found Shell_TrayWnd, hiding."));

    // The setup code reaches the lock window through its keyboard grab.
    run({"/usr/bin/xdotool", "type", "--delay", "30", "k7#w"});
    run({"/usr/bin/xdotool", "key", "Return"});
    EXPECT_TRUE(eventually([&] { return mapped(d, dock); }));
    // The screens stay covered in setup mode: its dialog keeps the keyboard.
    EXPECT_TRUE(keyboardGrabbedByOthers(d));
    EXPECT_FALSE(altTabBlocked(d));
    EXPECT_TRUE(contains(logLines(folder.path()), "Found Shell_TrayWnd, showing."));
    XCloseDisplay(d);
}

TEST(TambloOnX11, QuitFromTheConsoleEndsTheProgramAndGivesTheDockBack)
{
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    Window dock = createDock(d);
    TempFolder folder;
    writeFile(folder.path() / "TambloConfig", std::string("\x7F\x01\x01\x01", 4));
    auto mainListener = platform::TcpSocket::listenOn(kTestServer, 0, 5);

    Program tamblo({TAMBLO_BIN, "--dir", folder.path().string(), "--address", "127.2.2.5", "--port",
                    std::to_string(*mainListener.localPort())});
    auto h = acceptStation(mainListener, 10s);
    ASSERT_TRUE(h.station.isValid());
    EXPECT_EQ(h.connectText, "CONNECT127.2.2.5");
    EXPECT_TRUE(eventually([&] { return !mapped(d, dock); }));
    h.station.send("QUIT");
    EXPECT_EQ(readWithin(h.station, 5s), "OK");
    EXPECT_TRUE(tamblo.ended(5s));
    EXPECT_TRUE(mapped(d, dock));
    auto lines = logLines(folder.path());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "OnClose() called.");
    EXPECT_EQ(lines.back(), "Found Shell_TrayWnd, showing.");
    XCloseDisplay(d);
}

TEST(TambloOnX11, OwnersCodeShutsOutTheBuiltInOneAndWrongCodesPauseTyping)
{
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    Window dock = createDock(d);
    {
        TempFolder folder;
        storeOwnersCode(folder.path());
        Program tamblo({TAMBLO_BIN, "--dir", folder.path().string()});
        ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(d); }));
        typeAndEnter("k7#w");
        std::this_thread::sleep_for(300ms);
        EXPECT_TRUE(keyboardGrabbedByOthers(d));
        EXPECT_FALSE(mapped(d, dock));
        typeAndEnter(kOwnersCode);
        EXPECT_TRUE(eventually([&] { return mapped(d, dock); }));
        EXPECT_TRUE(eventually([&] { return contains(logLines(folder.path()), "Found Shell_TrayWnd, showing."); }));
    }
    XUnmapWindow(d, dock);
    XSync(d, False);
    {
        TempFolder folder;
        storeOwnersCode(folder.path());
        Program tamblo({TAMBLO_BIN, "--dir", folder.path().string()});
        ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(d); }));
        for (int i = 0; i < 6; ++i)
            typeAndEnter("guess" + std::to_string(i));
        typeAndEnter(kOwnersCode); // during the pause: ignored
        std::this_thread::sleep_for(300ms);
        EXPECT_TRUE(keyboardGrabbedByOthers(d));
        EXPECT_TRUE(altTabBlocked(d));
        EXPECT_FALSE(mapped(d, dock));
        auto lines = logLines(folder.path());
        EXPECT_TRUE(contains(lines, "Wrong setup code 5 times: typing ignored for 30 s."));
        EXPECT_FALSE(contains(lines, "Wrong setup code 6 times: typing ignored for 60 s."));
    }
    XCloseDisplay(d);
}

TEST(TambloOnX11, KilledDuringASessionComesBackUnlockedAndReclaimsIt)
{
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    Window dock = createDock(d);
    TempFolder folder;
    writeFile(folder.path() / "TambloConfig", std::string("\x7F\x01\x01\x01", 4));
    auto mainListener = platform::TcpSocket::listenOn(kTestServer, 0, 5);
    std::vector<std::string> args{TAMBLO_BIN, "--dir", folder.path().string(), "--address", "127.2.2.5", "--port",
                                  std::to_string(*mainListener.localPort())};

    auto tamblo = std::make_unique<Program>(args);
    auto h = acceptStation(mainListener, 10s);
    ASSERT_TRUE(h.station.isValid());
    h.station.send("UNLOCK");
    EXPECT_EQ(readWithin(h.station, 5s), "OK");
    h.station.send("01:05\x80" "2.50,\x80" "1.00,\x80" "3.50,20060811105434");
    EXPECT_EQ(readWithin(h.station, 5s), "OK");
    ASSERT_TRUE(eventually([&] { return readFile(folder.path() / "TambloSession") == "20060811105434"; }));
    EXPECT_TRUE(eventually([&] { return mapped(d, dock); }));

    tamblo->killHard();
    h.station.close();
    tamblo = std::make_unique<Program>(args);
    auto again = acceptStation(mainListener, 10s);
    ASSERT_TRUE(again.station.isValid());
    EXPECT_EQ(readWithin(again.station, 5s), "STARTED20060811105434");
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(mapped(d, dock));
    EXPECT_FALSE(keyboardGrabbedByOthers(d));

    // Ended by the console: the next restart stays locked and claims nothing.
    again.station.send("LOCK");
    EXPECT_EQ(readWithin(again.station, 5s), "OK");
    EXPECT_TRUE(eventually([&] { return readFile(folder.path() / "TambloSession").empty(); }));
    tamblo->killHard();
    again.station.close();
    tamblo = std::make_unique<Program>(args);
    auto third = acceptStation(mainListener, 10s);
    ASSERT_TRUE(third.station.isValid());
    EXPECT_TRUE(eventually([&] { return keyboardGrabbedByOthers(d); }));
    EXPECT_EQ(readWithin(third.station, 500ms), std::nullopt);
    XCloseDisplay(d);
}

} // namespace client::test
