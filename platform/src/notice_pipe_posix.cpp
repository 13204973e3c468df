#include "platform/notice_pipe.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

constexpr std::size_t kLongestLine = 256;

} // namespace

std::optional<NoticePipe> NoticePipe::open()
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return std::nullopt;
    return NoticePipe(ends[0], ends[1]);
}

NoticePipe::~NoticePipe()
{
    for (int fd : {read_, write_})
        if (fd >= 0)
            ::close(fd);
}

NoticePipe::NoticePipe(NoticePipe&& other) noexcept
    : read_(std::exchange(other.read_, -1)),
      write_(std::exchange(other.write_, -1)),
      partial_(std::move(other.partial_))
{
}

std::vector<std::string> NoticePipe::takeLines()
{
    std::vector<std::string> lines;
    char buffer[512];
    for (;;) {
        ssize_t got = ::read(read_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        partial_.append(buffer, static_cast<std::size_t>(got));
    }
    for (auto end = partial_.find('\n'); end != std::string::npos; end = partial_.find('\n')) {
        if (end <= kLongestLine)
            lines.push_back(partial_.substr(0, end));
        partial_.erase(0, end + 1);
    }
    if (partial_.size() > kLongestLine)
        partial_.clear();
    return lines;
}

bool sendNotice(const char* variable, std::string_view line)
{
    const char* value = std::getenv(variable);
    if (!value)
        return false;
    int fd = -1;
    auto [end, ec] = std::from_chars(value, value + std::strlen(value), fd);
    if (ec != std::errc() || *end != '\0' || fd < 0)
        return false;
    std::string text = std::string(line) + '\n';
    ssize_t written;
    while ((written = ::write(fd, text.data(), text.size())) < 0 && errno == EINTR) {
    }
    return written == static_cast<ssize_t>(text.size());
}

} // namespace platform
