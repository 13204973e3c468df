// The real tamblo program on a private X server (run under xvfb-run): the
// locked station holds the keyboard, blocks the task keys and hides the
// desktop's dock; the setup code typed on the keyboard gives them back.
#include "platform/tcp_socket.h"
#include "test_support.h"
#include "xvfb_run_test.h"

#include <X11/Xatom.h>

#include <thread>

namespace client::test {

namespace {

const std::string kOwnersCode = "Owner-42";

bool altTabBlocked(Display* d) { return altTabGrabError(d) == BadAccess; }

// The real program, its output in the test's.
std::unique_ptr<Process> startTamblo(std::vector<std::string> args)
{
    args.insert(args.begin(), TAMBLO_BIN);
    return std::make_unique<Process>(std::move(args), ChildOutput::Shown);
}

void typeCode(const std::string& code) { typeAndEnter(code, 20ms, ChildOutput::Shown); }

// The X server of xvfb-run with a stand-in taskbar: a mapped window that
// declares itself a dock.
class TambloOnX11 : public XvfbRunTest {
protected:
    void SetUp() override
    {
        XvfbRunTest::SetUp();
        if (HasFatalFailure())
            return;
        dock = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 760, 1280, 40, 0, 0, 0);
        Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
        Atom dockType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DOCK", False);
        XChangeProperty(display, dock, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&dockType),
                        1);
        XMapWindow(display, dock);
        XSync(display, False);
    }
    bool dockMapped()
    {
        XWindowAttributes a{};
        return XGetWindowAttributes(display, dock, &a) != 0 && a.map_state != IsUnmapped;
    }

    Window dock = 0;
};

} // namespace

TEST_F(TambloOnX11, LockedStationHoldsTheDesktopUntilTheSetupCode)
{
    TempFolder folder;

    auto tamblo = startTamblo({"--dir", folder.path().string()});
    ASSERT_TRUE(tamblo->started());
    EXPECT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }));
    EXPECT_TRUE(altTabBlocked(display));
    EXPECT_TRUE(eventually([&] { return !dockMapped(); }));
    EXPECT_TRUE(contains(logLines(folder.path()), "Found Shell_TrayWnd, hiding."));

    // The setup code reaches the lock window through its keyboard grab.
    typeAndEnter("k7#w", 30ms, ChildOutput::Shown);
    EXPECT_TRUE(eventually([&] { return dockMapped(); }));
    // The screens stay covered in setup mode: its dialog keeps the keyboard.
    EXPECT_TRUE(keyboardGrabbedByOthers(display));
    EXPECT_FALSE(altTabBlocked(display));
    EXPECT_TRUE(contains(logLines(folder.path()), "Found Shell_TrayWnd, showing."));
}

TEST_F(TambloOnX11, QuitFromTheConsoleEndsTheProgramAndGivesTheDockBack)
{
    TempFolder folder;
    auto mainListener = platform::TcpSocket::listenOn(kTestServer, 0, 5).value_or(platform::TcpSocket{});

    auto tamblo = startTamblo(stationArgs(folder.path(), *mainListener.localPort()));
    auto h = acceptStation(mainListener, 10s);
    ASSERT_TRUE(h.station.isValid());
    EXPECT_EQ(h.connectText, "CONNECT127.2.2.5");
    EXPECT_TRUE(eventually([&] { return !dockMapped(); }));
    h.station.send("QUIT");
    EXPECT_EQ(readWithin(h.station, 5s), "OK");
    EXPECT_TRUE(tamblo->exitStatus(5s).has_value());
    EXPECT_TRUE(dockMapped());
    auto lines = logLines(folder.path());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "OnClose() called.");
    EXPECT_EQ(lines.back(), "Found Shell_TrayWnd, showing.");
}

TEST_F(TambloOnX11, OwnersCodeShutsOutTheBuiltInOneAndWrongCodesPauseTyping)
{
    {
        TempFolder folder;
        ASSERT_TRUE(storeOwnersCode(folder.path(), kOwnersCode));
        auto tamblo = startTamblo({"--dir", folder.path().string()});
        ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }));
        typeCode("k7#w");
        std::this_thread::sleep_for(300ms);
        EXPECT_TRUE(keyboardGrabbedByOthers(display));
        EXPECT_FALSE(dockMapped());
        typeCode(kOwnersCode);
        EXPECT_TRUE(eventually([&] { return dockMapped(); }));
        EXPECT_TRUE(eventually([&] { return contains(logLines(folder.path()), "Found Shell_TrayWnd, showing."); }));
    }
    XUnmapWindow(display, dock);
    XSync(display, False);
    {
        TempFolder folder;
        ASSERT_TRUE(storeOwnersCode(folder.path(), kOwnersCode));
        auto tamblo = startTamblo({"--dir", folder.path().string()});
        ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }));
        for (int i = 0; i < 6; ++i)
            typeCode("guess" + std::to_string(i));
        // Every wrong try costs a key derivation, slow on purpose (and slower
        // still in a sanitized build): the pause comes once they are worked through.
        EXPECT_TRUE(eventually(
            [&] { return contains(logLines(folder.path()), "Wrong setup code 5 times: typing ignored for 30 s."); },
            20s));
        typeCode(kOwnersCode); // during the pause: ignored
        std::this_thread::sleep_for(300ms);
        EXPECT_TRUE(keyboardGrabbedByOthers(display));
        EXPECT_TRUE(altTabBlocked(display));
        EXPECT_FALSE(dockMapped());
        EXPECT_FALSE(contains(logLines(folder.path()), "Wrong setup code 6 times: typing ignored for 60 s."));
    }
}

TEST_F(TambloOnX11, KilledDuringASessionComesBackUnlockedAndReclaimsIt)
{
    TempFolder folder;
    auto mainListener = platform::TcpSocket::listenOn(kTestServer, 0, 5).value_or(platform::TcpSocket{});
    auto args = stationArgs(folder.path(), *mainListener.localPort());

    auto tamblo = startTamblo(args);
    auto h = acceptStation(mainListener, 10s);
    ASSERT_TRUE(h.station.isValid());
    ASSERT_NO_FATAL_FAILURE(startSession(h.station, folder.path()));
    EXPECT_TRUE(eventually([&] { return dockMapped(); }));

    tamblo->killHard();
    h.station.close();
    tamblo = startTamblo(args);
    auto again = acceptStation(mainListener, 10s);
    ASSERT_TRUE(again.station.isValid());
    EXPECT_EQ(readWithin(again.station, 5s), "STARTED20060811105434");
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(dockMapped());
    EXPECT_FALSE(keyboardGrabbedByOthers(display));

    // Ended by the console: the next restart stays locked and claims nothing.
    again.station.send("LOCK");
    EXPECT_EQ(readWithin(again.station, 5s), "OK");
    EXPECT_TRUE(eventually([&] { return readFile(folder.path() / "TambloSession").empty(); }));
    tamblo->killHard();
    again.station.close();
    tamblo = startTamblo(args);
    auto third = acceptStation(mainListener, 10s);
    ASSERT_TRUE(third.station.isValid());
    EXPECT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }));
    EXPECT_EQ(readWithin(third.station, 500ms), std::nullopt);
}

} // namespace client::test
