#include "platform/display_server.h"
#include "platform/system_error_log.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Connects to a local stream socket; `abstractName` uses Linux's abstract namespace.
bool socketAnswers(const std::string& path, bool abstractName)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::size_t offset = abstractName ? 1 : 0;
    if (path.empty() || path.size() + offset >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstractName ? 0 : 1));
    bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    closeDescriptor(fd, "display probe");
    return connected;
}

} // namespace

std::string x11DisplaySocketPath(const std::string& display)
{
    auto colon = display.rfind(':');
    if (colon == std::string::npos)
        return {};
    std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix")
        return {};
    std::string number = display.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return {};
    return "/tmp/.X11-unix/X" + number;
}

bool displayServerAnswers()
{
    std::string platform = environment("QT_QPA_PLATFORM");
    if (platform == "offscreen" || platform == "minimal")
        return true;
    std::string display = environment("DISPLAY");
    if (!display.empty()) {
        std::string path = x11DisplaySocketPath(display);
        if (path.empty())
            return true;
        if (socketAnswers(path, false) || socketAnswers(path, true))
            return true;
    }
    std::string wayland = environment("WAYLAND_DISPLAY");
    if (!wayland.empty()) {
        std::string path = wayland.front() == '/' ? wayland : environment("XDG_RUNTIME_DIR") + "/" + wayland;
        if (socketAnswers(path, false))
            return true;
    }
    return false;
}

} // namespace platform
