// The station as its system service runs it, attacked by the customer: the
// supervisor runs as root, tamblo as a service account of its own, and the
// customer is a third account with a desktop and a shell on the same X
// server (run under xvfb-run, as root). Nothing the customer may do to the
// station's processes or files works, and at the end of each session the
// customer's programs end and the home folder comes back as the owner's
// template has it.
#include "platform/file_owner.h"
#include "platform/tcp_socket.h"
#include "test_support.h"
#include "xvfb_run_test.h"

#include <X11/Xutil.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace client::test {

namespace {

// A local account made for the test and removed with it.
class TestAccount {
public:
    TestAccount(std::string name, bool withHome) : name_(std::move(name))
    {
        made_ = runToEnd({"/usr/sbin/useradd", withHome ? "-m" : "-M", "-s", "/bin/sh", name_}) == 0;
    }
    ~TestAccount()
    {
        if (made_)
            runToEnd({"/usr/sbin/userdel", "-r", "-f", name_});
    }
    bool made() const { return made_; }
    const std::string& name() const { return name_; }

private:
    std::string name_;
    bool made_ = false;
};

// A shell command run by `account`; its exit status.
int runAs(const std::string& account, const std::string& command)
{
    return runToEnd({"/usr/sbin/runuser", "-u", account, "--", "/bin/sh", "-c", command});
}

// The running tamblo under the supervisor `parent`, or 0.
pid_t stationOf(pid_t parent)
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        if (!std::getline(stat, text) || text.find("(tamblo)") == std::string::npos)
            continue;
        std::istringstream rest(text.substr(text.rfind(')') + 1));
        std::string state;
        pid_t ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent && state != "Z")
            return static_cast<pid_t>(std::stol(entry.path().filename().string()));
    }
    return 0;
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

class StationService : public XvfbRunTest {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root, to make the service's and the customer's accounts";
        XvfbRunTest::SetUp();
        const std::string suffix = std::to_string(getpid() % 100000);
        service = std::make_unique<TestAccount>("tsvc" + suffix, false);
        customer = std::make_unique<TestAccount>("tkiosk" + suffix, true);
        ASSERT_TRUE(service->made() && customer->made());
        customerHome = platform::findAccount(customer->name())->home;

        // The station's folder belongs to its service account, closed to others.
        std::filesystem::permissions(root.path(), std::filesystem::perms(0755));
        station = root.path() / "station";
        std::filesystem::create_directory(station);
        const auto svc = platform::findAccount(service->name());
        ASSERT_EQ(chown(station.c_str(), svc->uid, svc->gid), 0);
        std::filesystem::permissions(station, std::filesystem::perms(0700));
        ASSERT_EQ(runToEnd({SETUP_BIN, "--dir", station.string(), "--code", "Owner-42"}), 0);

        homeTemplate = root.path() / "template";
        std::filesystem::create_directories(homeTemplate / ".config");
        writeFile(homeTemplate / "welcome.txt", "Welcome to the cafe\n");

        // The customer's desktop session draws on the same display.
        ASSERT_EQ(runToEnd({"/usr/bin/xhost", "+SI:localuser:" + customer->name()}), 0);
    }
    void TearDown() override
    {
        supervisor.reset();
        customerProgram.reset();
        if (customer)
            runToEnd({"/usr/bin/pkill", "-KILL", "-u", customer->name()});
        XvfbRunTest::TearDown();
    }
    std::vector<std::string> supervisorArgs()
    {
        std::vector<std::string> args{SUPERVISOR_BIN, "--run-as", service->name(), "--kiosk-user", customer->name(),
                                      "--kiosk-template", homeTemplate.string()};
        for (auto& a : stationArgs(station, *mainListener.localPort()))
            args.push_back(a);
        return args;
    }

    TempFolder root;
    std::filesystem::path station;
    std::filesystem::path homeTemplate;
    std::filesystem::path customerHome;
    std::unique_ptr<TestAccount> service;
    std::unique_ptr<TestAccount> customer;
    platform::TcpSocket mainListener = platform::TcpSocket::listenOn(kTestServer, 0, 5);
    std::unique_ptr<Process> supervisor;
    std::unique_ptr<Process> customerProgram;
};

} // namespace

TEST_F(StationService, TheCustomerCannotStopTheStationAndTheNextOneStartsClean)
{
    auto args = supervisorArgs();
    // stationArgs wrote TambloConfig as root: it goes back to the service.
    ASSERT_TRUE(platform::giveToFolderOwner(station / "TambloConfig", 0644));
    supervisor = std::make_unique<Process>(std::move(args), ChildOutput::Shown);
    auto h = acceptStation(mainListener, 10s);
    ASSERT_TRUE(h.station.isValid());
    ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }, 10s));
    const pid_t tamblo = stationOf(supervisor->pid());
    ASSERT_GT(tamblo, 0);
    // The real user id, the first of the four.
    EXPECT_EQ(std::stoul(statusField(tamblo, "Uid")), platform::findAccount(service->name())->uid);

    // A paid session: the customer's desktop, a program, a file, an override.
    ASSERT_NO_FATAL_FAILURE(startSession(h.station, station));
    ASSERT_TRUE(eventually([&] { return !keyboardGrabbedByOthers(display); }, 5s));
    customerProgram = std::make_unique<Process>(std::vector<std::string>{
        "/usr/sbin/runuser", "-u", customer->name(), "--", "/usr/bin/xclock", "-name", "customer-clock"});
    ASSERT_TRUE(eventually([&] { return topLevelShown(display, "customer-clock"); }, 10s));
    ASSERT_EQ(runAs(customer->name(), "mkdir -p ~/.config/autostart && printf '[Desktop Entry]\\nHidden=true\\n' "
                                      "> ~/.config/autostart/Tamblo.desktop && echo secret > ~/history.txt"),
              0);

    // The customer's shell against the station's processes and files.
    for (pid_t target : {tamblo, supervisor->pid()}) {
        for (const char* signal : {"TERM", "KILL", "STOP", "HUP"})
            EXPECT_NE(runAs(customer->name(), "kill -" + std::string(signal) + " " + std::to_string(target)), 0)
                << signal << " to " << target;
        EXPECT_EQ(runAs(customer->name(), "gdb -batch -p " + std::to_string(target) +
                                              " -ex detach 2>&1 | grep -q 'ptrace: Operation not permitted'"),
                  0)
            << "a debugger attached to " << target;
        EXPECT_EQ(statusField(target, "TracerPid"), "\t0");
    }
    for (const char* file : {"TambloConfig", "TambloSetup", "TambloSession", "Tamblo.log"}) {
        const std::string path = (station / file).string();
        EXPECT_NE(runAs(customer->name(), "echo x >> " + path), 0) << file;
        EXPECT_NE(runAs(customer->name(), "rm -f " + path + " && test ! -e " + path), 0) << file;
        EXPECT_NE(runAs(customer->name(), "cat " + path + " > /dev/null"), 0) << file;
    }
    EXPECT_EQ(readFile(station / "TambloSession"), "20060811105434");
    EXPECT_EQ(stationOf(supervisor->pid()), tamblo);

    // The operator's Stop: locked again at once, the customer's traces gone.
    const auto stoppedAt = std::chrono::steady_clock::now();
    h.station.send("LOCK");
    EXPECT_EQ(readWithin(h.station, 5s), "OK");
    ASSERT_TRUE(eventually([&] { return keyboardGrabbedByOthers(display); }, 3s));
    EXPECT_TRUE(eventually([&] { return !topLevelShown(display, "customer-clock"); }, 3s));
    EXPECT_LT(std::chrono::steady_clock::now() - stoppedAt, 3s);
    EXPECT_TRUE(eventually([&] { return readFile(customerHome / "welcome.txt") == "Welcome to the cafe\n"; }, 3s));
    EXPECT_FALSE(std::filesystem::exists(customerHome / "history.txt"));
    EXPECT_FALSE(std::filesystem::exists(customerHome / ".config/autostart/Tamblo.desktop"));
    EXPECT_TRUE(std::filesystem::is_directory(customerHome / ".config"));
    EXPECT_EQ(runAs(customer->name(), "touch ~/next-customer"), 0) << "the fresh home is the customer's own";
    EXPECT_TRUE(contains(logLines(station), "The programs of " + customer->name() + " were ended."));
    EXPECT_TRUE(contains(logLines(station),
                         "The home of " + customer->name() + " was restored from " + homeTemplate.string() + "."));
    EXPECT_EQ(stationOf(supervisor->pid()), tamblo) << "the lock itself was not touched";
}

} // namespace client::test
