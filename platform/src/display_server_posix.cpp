#include "platform/display_server.h"
#include "platform/system_error_log.h"

#include <cstddef>
#include <fstream>
#include <iterator>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
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
    auto length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstractName ? 0 : 1));
    bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    closeDescriptor(fd, "display probe");
    return connected;
}

} // namespace

std::optional<std::filesystem::path> xServerAuthorityIn(const std::vector<std::string>& commandLine,
                                                        const std::string& display)
{
    if (commandLine.empty())
        return std::nullopt;
    const std::string program = std::filesystem::path(commandLine[0]).filename().string();
    if (program != "Xorg" && program != "X" && program != "Xvfb")
        return std::nullopt;
    // ":0" of "unix:0.1" or ":0".
    const std::string socket = x11DisplaySocketPath(display);
    if (socket.empty())
        return std::nullopt;
    std::string wanted(1, ':');
    wanted += socket.substr(socket.rfind('X') + 1);
    bool forDisplay = false;
    std::optional<std::filesystem::path> authority;
    for (std::size_t i = 1; i < commandLine.size(); ++i) {
        if (commandLine[i] == wanted)
            forDisplay = true;
        else if (commandLine[i] == "-auth" && i + 1 < commandLine.size())
            authority = commandLine[++i];
    }
    return forDisplay ? authority : std::nullopt;
}

std::optional<std::filesystem::path> xServerAuthority(const std::string& display)
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::string> commandLine;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find('\0', at);
            commandLine.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
            at = end == std::string::npos ? text.size() : end + 1;
        }
        // Only a server that root runs: anyone may start a process named Xorg.
        struct stat process {};
        if (::stat(entry.path().c_str(), &process) != 0 || process.st_uid != 0)
            continue;
        if (auto found = xServerAuthorityIn(commandLine, display))
            return found;
    }
    return std::nullopt;
}

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
