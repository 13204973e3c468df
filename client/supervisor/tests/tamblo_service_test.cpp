// The station as its system service runs it, attacked by the customer: the
// supervisor runs as root, tamblo as a service account of its own, and the
// customer is a third account with a desktop and a shell on the same X
// server (run under xvfb-run, as root). Nothing the customer may do to the
// station's processes or files works, and at the end of each session the
// customer's programs end and the home folder comes back as the owner's
// template has it.
#include "platform/file_owner.h"
#include "platform/tcp_socket.h"
#include "testsupport/process_tree.h"
#include "testsupport/test_account.h"
#include "test_support.h"
#include "screenshot.h"
#include "window_manager_desktop.h"
#include "x_server.h"
#include "xvfb_run_test.h"

#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/wait.h>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace client::test {

namespace {

using testsupport::TestAccount;

// A shell command run by `account`; its exit status.
int runAs(const std::string& account, const std::string& command)
{
    return runToEnd({"/usr/sbin/runuser", "-u", account, "--", "/bin/sh", "-c", command});
}

std::string statusField(pid_t pid, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with(field + ":"))
            return line.substr(field.size() + 1);
    return {};
}

// A mapped top-level window whose WM_CLASS name is `name` (no window manager
// runs here to keep a client list).
bool topLevelShown(Display* display, const std::string& name)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    bool found = false;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return false;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes{};
        XClassHint hint{};
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable &&
            XGetClassHint(display, children[i], &hint)) {
            found = hint.res_name && name == hint.res_name;
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
    }
    XFree(children);
    return found;
}

// The station as its service runs it: the service's and the customer's
// accounts, the station's folder (the service's, closed to others) with the
// owner's code, the template of the customer's home, a console listening
// and the supervisor.
class ServiceStation {
public:
    // Makes the accounts and folders and lets the customer onto the display.
    testing::AssertionResult prepare()
    {
        service = std::make_unique<TestAccount>("tsvc", false);
        customer = std::make_unique<TestAccount>("tkiosk", true);
        if (!service->made() || !customer->made())
            return testing::AssertionFailure() << "useradd failed";
        customerHome = platform::findAccount(customer->name())->home;

        std::filesystem::permissions(root.path(), std::filesystem::perms(0755));
        station = root.path() / "station";
        std::filesystem::create_directory(station);
        const auto svc = platform::findAccount(service->name());
        if (chown(station.c_str(), svc->uid, svc->gid) != 0)
            return testing::AssertionFailure() << "chown failed";
        std::filesystem::permissions(station, std::filesystem::perms(0700));
        if (runToEnd({SETUP_BIN, "--dir", station.string(), "--code", kOwnersCode}) != 0)
            return testing::AssertionFailure() << "tamblo-setup failed";

        homeTemplate = root.path() / "template";
        std::filesystem::create_directories(homeTemplate / ".config");
        writeFile(homeTemplate / "welcome.txt", "Welcome to the cafe\n");

        // The customer's desktop session draws on the same display.
        if (runToEnd({"/usr/bin/xhost", "+SI:localuser:" + customer->name()}) != 0)
            return testing::AssertionFailure() << "xhost failed";
        return testing::AssertionSuccess();
    }
    // The supervisor as the service starts it, the station connecting to the
    // test console; the console's side of the handshake.
    HandshakeResult start()
    {
        std::vector<std::string> args{SUPERVISOR_BIN,   "--run-as",         service->name(),      "--kiosk-user",
                                      customer->name(), "--kiosk-template", homeTemplate.string()};
        for (auto& a : stationArgs(station, *mainListener.localPort()))
            args.push_back(a);
        // stationArgs wrote TambloConfig as root: it goes back to the service.
        (void)platform::giveToFolderOwner(station / "TambloConfig", 0644);
        // The service is not given the display's cookie: it finds the one
        // the X server was started with, as with a display manager.
        const char* cookie = std::getenv("XAUTHORITY");
        const std::string kept = cookie ? cookie : "";
        setenv("XAUTHORITY", "/nonexistent/Xauthority", 1);
        supervisor = std::make_unique<Process>(std::move(args), ChildOutput::Shown);
        if (cookie)
            setenv("XAUTHORITY", kept.c_str(), 1);
        else
            unsetenv("XAUTHORITY");
        return acceptStation(mainListener, 10s);
    }
    pid_t tamblo() const { return testsupport::childOf(supervisor->pid(), "tamblo"); }
    // A program of the customer's, ended with the test.
    Process& customerRuns(std::vector<std::string> argv)
    {
        argv.insert(argv.begin(), {"/usr/sbin/runuser", "-u", customer->name(), "--"});
        return *customerPrograms.emplace_back(std::make_unique<Process>(std::move(argv)));
    }
    ~ServiceStation()
    {
        supervisor.reset();
        customerPrograms.clear();
    }

    static constexpr const char* kOwnersCode = "Owner-42";
    TempFolder root;
    std::filesystem::path station;
    std::filesystem::path homeTemplate;
    std::filesystem::path customerHome;
    std::unique_ptr<TestAccount> service;
    std::unique_ptr<TestAccount> customer;
    platform::TcpSocket mainListener = platform::TcpSocket::listenOn(kTestServer, 0, 5).value_or(platform::TcpSocket{});
    std::unique_ptr<Process> supervisor;
    std::vector<std::unique_ptr<Process>> customerPrograms;
};

// A program of the customer's that takes the keyboard and keeps it, as one
// started during a session to hold on past its end; its pid.
pid_t keyboardGrabberOf(const platform::Account& customer)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    // The child: the customer's ids, its own connection, the grab, and wait.
    if (setgid(customer.gid) != 0 || setuid(customer.uid) != 0)
        _exit(1);
    unsetenv("XAUTHORITY"); // root's cookie file: the customer is let in by name
    Display* own = XOpenDisplay(nullptr);
    if (!own ||
        XGrabKeyboard(own, DefaultRootWindow(own), False, GrabModeAsync, GrabModeAsync, CurrentTime) != GrabSuccess)
        _exit(2);
    XSync(own, False);
    for (;;)
        pause();
}

// The windows of process `pid`, as xdotool finds them.
std::vector<std::string> windowsOf(pid_t pid)
{
    std::vector<std::string> ids;
    std::string command = "/usr/bin/xdotool search --pid " + std::to_string(pid) + " 2>/dev/null";
    if (FILE* out = popen(command.c_str(), "r")) {
        char line[64];
        while (std::fgets(line, sizeof line, out))
            ids.emplace_back(line, std::strcspn(line, "\n"));
        pclose(out);
    }
    return ids;
}

class StationService : public XvfbRunTest {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root, to make the service's and the customer's accounts";
        XvfbRunTest::SetUp();
        rig = std::make_unique<ServiceStation>();
        ASSERT_TRUE(rig->prepare());
    }
    void TearDown() override
    {
        rig.reset();
        XvfbRunTest::TearDown();
    }
    std::unique_ptr<ServiceStation> rig;
};

} // namespace

TEST_F(StationService, TheCustomerCannotStopTheStationAndTheNextOneStartsClean)
{
    auto h = rig->start();
    ASSERT_TRUE(h.station.isValid());
    ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }, 10s));
    const pid_t tamblo = rig->tamblo();
    ASSERT_GT(tamblo, 0);
    // The real user id, the first of the four.
    EXPECT_EQ(std::stoul(statusField(tamblo, "Uid")), platform::findAccount(rig->service->name())->uid);
    const std::string& customer = rig->customer->name();
    const auto& station = rig->station;

    // A paid session: the customer's desktop, a program, a file, an override.
    ASSERT_NO_FATAL_FAILURE(startSession(h.station, station));
    ASSERT_TRUE(eventually([&] { return !keyboardGrabbedByOthers(display); }, 5s));
    rig->customerRuns({"/usr/bin/xclock", "-name", "customer-clock"});
    ASSERT_TRUE(eventually([&] { return topLevelShown(display, "customer-clock"); }, 10s));
    ASSERT_EQ(runAs(customer, "mkdir -p ~/.config/autostart && printf '[Desktop Entry]\\nHidden=true\\n' "
                              "> ~/.config/autostart/Tamblo.desktop && echo secret > ~/history.txt && "
                              "mkdir -p /tmp/" +
                                  customer + "-stash && touch /dev/shm/" + customer + "-job"),
              0);

    // The customer's shell against the station's processes and files.
    for (pid_t target : {tamblo, rig->supervisor->pid()}) {
        for (const char* signal : {"TERM", "KILL", "STOP", "HUP"})
            EXPECT_NE(runAs(customer, "kill -" + std::string(signal) + " " + std::to_string(target)), 0)
                << signal << " to " << target;
        EXPECT_EQ(runAs(customer, "gdb -batch -p " + std::to_string(target) +
                                      " -ex detach 2>&1 | grep -q 'ptrace: Operation not permitted'"),
                  0)
            << "a debugger attached to " << target;
        EXPECT_EQ(statusField(target, "TracerPid"), "\t0");
    }
    for (const char* file : {"TambloConfig", "TambloSetup", "TambloSession", "Tamblo.log"}) {
        const std::string path = (station / file).string();
        EXPECT_NE(runAs(customer, "echo x >> " + path), 0) << file;
        EXPECT_NE(runAs(customer, "rm -f " + path + " && test ! -e " + path), 0) << file;
        EXPECT_NE(runAs(customer, "cat " + path + " > /dev/null"), 0) << file;
    }
    EXPECT_EQ(readFile(station / "TambloSession"), "20060811105434");
    EXPECT_EQ(rig->tamblo(), tamblo);

    // The operator's Stop: locked again at once, the customer's traces gone.
    const auto stoppedAt = std::chrono::steady_clock::now();
    h.station.send("LOCK");
    EXPECT_EQ(readWithin(h.station, 5s), "OK");
    ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }, 3s));
    EXPECT_TRUE(eventually([&] { return !topLevelShown(display, "customer-clock"); }, 3s));
    EXPECT_LT(std::chrono::steady_clock::now() - stoppedAt, 3s);
    const auto& home = rig->customerHome;
    EXPECT_TRUE(eventually([&] { return readFile(home / "welcome.txt") == "Welcome to the cafe\n"; }, 3s));
    EXPECT_FALSE(std::filesystem::exists(home / "history.txt"));
    EXPECT_FALSE(std::filesystem::exists(home / ".config/autostart/Tamblo.desktop"));
    EXPECT_TRUE(std::filesystem::is_directory(home / ".config"));
    EXPECT_FALSE(std::filesystem::exists("/tmp/" + customer + "-stash"))
        << "files in shared folders outlive the session";
    EXPECT_FALSE(std::filesystem::exists("/dev/shm/" + customer + "-job"));
    EXPECT_EQ(runAs(customer, "touch ~/next-customer"), 0) << "the fresh home is the customer's own";
    EXPECT_TRUE(contains(logLines(station), "The programs of " + customer + " were ended."));
    EXPECT_TRUE(contains(logLines(station),
                         "The home of " + customer + " was restored from " + rig->homeTemplate.string() + "."));
    EXPECT_EQ(rig->tamblo(), tamblo) << "the lock itself was not touched";
}

// On a seat of two side-by-side monitors under openbox: a keyboard grab the
// customer took during the session does not keep the lock out after the
// Stop, and the next customer's programs can neither uncover the second
// monitor, nor type the setup code with synthetic keys, nor add a keyboard.
class StationServiceOnTwoMonitors : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root, for Xorg and the accounts";
        for (const char* program : {"/usr/bin/openbox", "/usr/bin/tint2", "/usr/bin/xdotool", "/usr/bin/xrandr",
                                    "/usr/bin/xinput", "/usr/bin/import"})
            if (!haveProgram(program))
                GTEST_SKIP() << program << " is not installed (scripts/setup installs it)";
        if (const char* display = std::getenv("DISPLAY"))
            previousDisplay_ = display;
        std::string why;
        server_ = XServer::startDummyXorg(folder_.path() / "xorg", why);
        if (!server_)
            GTEST_SKIP() << why;
        d_ = server_->display();
        ASSERT_EQ(runToEnd({"/usr/bin/xrandr", "--addmode", "DUMMY1", "1024x768"}), 0);
        ASSERT_EQ(runToEnd({"/usr/bin/xrandr", "--output", "DUMMY1", "--mode", "1024x768", "--right-of", "DUMMY0"}), 0);
        paintDesktop(d_);
        desktop_ = std::make_unique<WindowManagerDesktop>(d_);
        ASSERT_TRUE(desktop_->ready());
        rig_ = std::make_unique<ServiceStation>();
        ASSERT_TRUE(rig_->prepare());
    }
    void TearDown() override
    {
        if (grabber_ > 0) {
            kill(grabber_, SIGKILL);
            waitpid(grabber_, nullptr, 0);
        }
        rig_.reset();
        desktop_.reset();
        server_.reset();
        if (previousDisplay_)
            setenv("DISPLAY", previousDisplay_->c_str(), 1);
    }

    TempFolder folder_;
    std::optional<std::string> previousDisplay_;
    std::unique_ptr<XServer> server_;
    Display* d_ = nullptr;
    std::unique_ptr<WindowManagerDesktop> desktop_;
    std::unique_ptr<ServiceStation> rig_;
    pid_t grabber_ = -1;
};

TEST_F(StationServiceOnTwoMonitors, TheNextCustomerCannotUncoverTypeIntoOrOutgrabTheLock)
{
    auto h = rig_->start();
    ASSERT_TRUE(h.station.isValid());
    ASSERT_TRUE(waitUntilCovered(d_, folder_.path(), 2048).covered);
    const pid_t tamblo = rig_->tamblo();
    ASSERT_GT(tamblo, 0);
    const std::string& customer = rig_->customer->name();

    // During the session a program of the customer's takes the keyboard.
    ASSERT_NO_FATAL_FAILURE(startSessionOn(h.station, rig_->station));
    ASSERT_TRUE(eventually([&] { return !keyboardGrabbedByOthers(d_); }, 5s));
    grabber_ = keyboardGrabberOf(*platform::findAccount(customer));
    ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(d_); }, 5s)) << "the customer's grab";

    // The Stop: the grabbing program ends with the session and the lock has
    // both monitors covered and the keyboard within 3 s.
    const auto stoppedAt = std::chrono::steady_clock::now();
    h.station.send("LOCK");
    EXPECT_EQ(readWithin(h.station, 5s), "OK");
    EXPECT_TRUE(eventually([&] { return waitpid(grabber_, nullptr, WNOHANG) == grabber_; }, 3s));
    grabber_ = -1;
    EXPECT_TRUE(eventually([&] { return keyboardGrabbedByOthers(d_) && topWindowPid(d_) == tamblo; }, 3s));
    EXPECT_TRUE(waitUntilCovered(d_, folder_.path(), 2048).covered);
    EXPECT_LT(std::chrono::steady_clock::now() - stoppedAt, 3s);

    // The next customer's programs, while the station is locked.
    Window cover = 0;
    ASSERT_TRUE(eventually([&] { return (cover = windowOfPidAt(d_, tamblo, 1024, 0, 1024, 768)) != 0; }));
    const std::string id = std::to_string(cover);
    EXPECT_EQ(runAs(customer, "xdotool windowunmap " + id), 0);
    EXPECT_TRUE(waitUntilCovered(d_, folder_.path(), 2048).covered) << "after an unmap";
    EXPECT_EQ(runAs(customer, "xdotool windowmove " + id + " 1500 100 windowsize " + id + " 200 150"), 0);
    EXPECT_TRUE(eventually([&] { return windowOfPidAt(d_, tamblo, 1024, 0, 1024, 768) == cover; }, 3s))
        << "after a move and resize";
    EXPECT_TRUE(waitUntilCovered(d_, folder_.path(), 2048).covered);

    EXPECT_EQ(runAs(customer, "xinput create-master customer"), 0);
    EXPECT_TRUE(eventually([&] { return !keyboardPlugged(d_, "customer"); }, 2s)) << "a second keyboard stayed";

    // Codes sent as synthetic keys to every window of the lock: the owner's,
    // and wrong ones that would start the pauses that keep the owner out.
    const auto windows = windowsOf(tamblo);
    EXPECT_FALSE(windows.empty());
    for (const std::string& window : windows) {
        for (const std::string code : {"guess1", "guess2", "guess3", "guess4", "guess5", "guess6"})
            runAs(customer, "xdotool type --window " + window + " " + code + " key --window " + window + " Return");
        runAs(customer, "xdotool type --window " + window + " " + ServiceStation::kOwnersCode + " key --window " +
                            window + " Return");
    }
    EXPECT_EQ(readWithin(h.station, 1s), std::nullopt) << "setup opened by synthetic keys";
    for (const std::string& line : logLines(rig_->station))
        EXPECT_FALSE(line.starts_with("Wrong setup code")) << "synthetic keys counted as tries: " << line;
    EXPECT_TRUE(keyboardGrabbedByOthers(d_) && topWindowPid(d_) == tamblo);
    EXPECT_EQ(rig_->tamblo(), tamblo);

    // The customer's program cuts the lock's connection to the display: the
    // lock is back within 3 s, and the customer's programs are gone with it.
    rig_->customerRuns({"/usr/bin/xclock", "-name", "customer-clock"});
    // Under openbox the clock is framed: the window manager's list finds it.
    ASSERT_TRUE(eventually([&] { return windowOfClassMapped(d_, "XClock"); }, 10s));
    const auto cutAt = std::chrono::steady_clock::now();
    // xkill runs as the customer: the cut it makes can end it with the customer's
    // other programs before it has exited (SIGKILL, 128 + 9).
    const int cut = runAs(customer, "xkill -id " + windows.front());
    EXPECT_TRUE(cut == 0 || cut == 128 + SIGKILL) << cut;
    EXPECT_TRUE(eventually(
        [&] {
            const pid_t now = rig_->tamblo();
            return now > 0 && now != tamblo && keyboardGrabbedByOthers(d_) && topWindowPid(d_) == now;
        },
        3s));
    EXPECT_LT(std::chrono::steady_clock::now() - cutAt, 3s);
    EXPECT_TRUE(eventually([&] { return !windowOfClassMapped(d_, "XClock"); }, 3s));
    EXPECT_TRUE(contains(logLines(rig_->station), "The programs of " + customer + " were ended."));
}

} // namespace client::test
