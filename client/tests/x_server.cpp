#include "x_server.h"

#include "x11_desktop.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <unistd.h>

namespace client::test {

using namespace std::chrono_literals;

std::unique_ptr<XServer> XServer::start(std::vector<std::string> argv, int writeEnd, int readEnd)
{
    auto server = std::unique_ptr<XServer>(new XServer);
    server->process_ = std::make_unique<Process>(std::move(argv));
    ::close(writeEnd);
    std::string number;
    pollfd p{readEnd, POLLIN, 0};
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline && number.find('\n') == std::string::npos) {
        if (::poll(&p, 1, 100) > 0) {
            char buffer[16];
            ssize_t n = ::read(readEnd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            number.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(readEnd);
    if (number.empty() || number.find('\n') == std::string::npos)
        return nullptr;
    server->name_ = std::string(":").append(number, 0, number.find('\n'));
    server->display_ = XOpenDisplay(server->name_.c_str());
    if (!server->display_)
        return nullptr;
    if (setenv("DISPLAY", server->name_.c_str(), 1) != 0)
        return nullptr; // the children would not find it
    useX11ForChildren();
    return server;
}

std::unique_ptr<XServer> XServer::startXvfb(const std::string& screen)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return nullptr;
    return start({"/usr/bin/Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0", screen, "-noreset",
                  "-nolisten", "tcp"},
                 ends[1], ends[0]);
}

std::unique_ptr<XServer> XServer::startDummyXorg(const std::filesystem::path& folder, std::string& why)
{
    if (geteuid() != 0) {
        why = "Xorg with the dummy driver needs root";
        return nullptr;
    }
    if (!haveProgram("/usr/lib/xorg/Xorg") || !std::filesystem::exists("/usr/lib/xorg/modules/drivers/dummy_drv.so")) {
        why = "Xorg or its dummy driver (xserver-xorg-video-dummy) is not installed";
        return nullptr;
    }
    std::filesystem::create_directories(folder / "conf.d");
    std::ofstream config(folder / "xorg.conf");
    config << R"(Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4096 1024
    Modes "1024x768"
  EndSubSection
EndSection
)";
    if (!config.flush()) {
        why = "xorg.conf could not be written in the test folder";
        return nullptr;
    }
    int ends[2];
    if (::pipe(ends) != 0)
        return nullptr;
    auto server = start({"/usr/lib/xorg/Xorg", "-displayfd", std::to_string(ends[1]), "-config",
                         (folder / "xorg.conf").string(), "-configdir", (folder / "conf.d").string(), "-noreset",
                         "-nolisten", "tcp", "-logfile", (folder / "Xorg.log").string()},
                        ends[1], ends[0]);
    if (!server)
        why = "Xorg did not start; see its log in a kept test folder";
    return server;
}

XServer::~XServer()
{
    if (display_)
        XCloseDisplay(display_);
    process_.reset();
}

} // namespace client::test
