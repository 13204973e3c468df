#include "platform/display_access.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>

namespace platform {

namespace {

// Set by the error handler while the request is answered; one display at a time.
bool refused = false;
int noteRefusal(Display*, XErrorEvent*)
{
    refused = true;
    return 0;
}

} // namespace

std::optional<std::string> grantDisplayTo(const std::string& account)
{
    const char* name = std::getenv("DISPLAY");
    std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display)
        return std::string("the display ") + (name ? name : "(DISPLAY not set)") + " could not be opened";
    static char kType[] = "localuser";
    std::string value = account;
    XServerInterpretedAddress address{static_cast<int>(sizeof kType - 1), static_cast<int>(value.size()), kType,
                                      value.data()};
    XHostAddress host{};
    host.family = FamilyServerInterpreted;
    host.length = sizeof address;
    host.address = reinterpret_cast<char*>(&address);
    refused = false;
    XErrorHandler previous = XSetErrorHandler(noteRefusal);
    XAddHost(display.get(), &host);
    XSync(display.get(), False);
    XSetErrorHandler(previous);
    if (refused)
        return "the display " + std::string(name ? name : "") + " refused to let " + account + " in";
    return std::nullopt;
}

std::optional<std::filesystem::path> copyCookieFor(const Account& account, const std::filesystem::path& folder)
{
    const char* from = std::getenv("XAUTHORITY");
    if (!from)
        return std::nullopt;
    const int in = ::open(from, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (in < 0)
        return std::nullopt;
    struct stat source {};
    std::string bytes;
    if (::fstat(in, &source) == 0 && S_ISREG(source.st_mode) && source.st_uid == 0 && source.st_size < (1 << 20)) {
        bytes.resize(static_cast<std::size_t>(source.st_size));
        if (::read(in, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            bytes.clear();
    }
    ::close(in);
    if (bytes.empty())
        return std::nullopt;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    ::chmod(folder.c_str(), 0755);
    const auto copy = folder / ("Xauthority-" + account.name);
    const auto fresh = std::filesystem::path(copy) += ".new";
    ::unlink(fresh.c_str());
    const int out = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0)
        return std::nullopt;
    const bool written = ::write(out, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                         ::fchown(out, account.uid, account.gid) == 0;
    ::close(out);
    if (!written || ::rename(fresh.c_str(), copy.c_str()) != 0)
        return std::nullopt;
    return copy;
}

} // namespace platform
