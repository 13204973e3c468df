#include "store/activity_log.h"

#include "platform/local_time.h"
#include "platform/system_error_log.h"
#include "store/file_names.h"

#include <algorithm>
#include <cerrno>
#include <vector>

namespace store {

ActivityLog::ActivityLog(const std::filesystem::path& folder, const platform::Clock& clock, StoreNotifier& notifier)
    : path_(folder / kLogFileName), clock_(clock), notifier_(notifier)
{
}

bool ActivityLog::open()
{
    file_ = platform::SharedFile::openOwned(path_).value_or(platform::SharedFile{});
    if (!file_.isOpen()) {
        notifier_.fileFailed(path_, "File Open Failed");
        return false;
    }
    cutTornLine();
    return true;
}

// A line cut short by a power loss (or whose bytes never reached the disk and
// read as zeros) would run into the next line written; it is cut back to the
// last whole line. An end without a line break further back than any line is
// long is not a torn line: it is only closed with a line break.
void ActivityLog::cutTornLine()
{
    auto size = file_.size();
    if (!size || *size == 0)
        return;
    const std::uint64_t window = std::min<std::uint64_t>(*size, kLongestLine);
    std::vector<std::byte> tail(static_cast<std::size_t>(window));
    auto got = file_.seek(*size - window) ? file_.read(tail) : std::nullopt;
    if (!got || *got != tail.size() || tail.back() == std::byte{'\n'})
        return;
    auto lastBreak = std::find(tail.rbegin(), tail.rend(), std::byte{'\n'});
    bool cut = false;
    if (lastBreak != tail.rend())
        cut = file_.truncate(*size - static_cast<std::uint64_t>(lastBreak - tail.rbegin()));
    else if (window == *size)
        cut = file_.truncate(0);
    // A line that cannot be cut off is closed with a line break instead, so
    // that the next line still starts on a line of its own; it reaches the
    // disk with the next sync.
    if (!cut && file_.seekToEnd() && file_.write(std::string("\n")))
        unsynced_ = true;
}

void ActivityLog::writeLogLine(const std::string& text)
{
    if (mirror_)
        mirror_(text);
    if (!file_.isOpen() && !open())
        return;
    std::string line = platform::formatLocalTime("%d%m%y%H%M", clock_.now());
    line += ',';
    line += text;
    line += '\n';
    // The operator is not interrupted for a line the disk refused; it is
    // logged on standard error instead.
    if (file_.seekToEnd() && file_.write(line))
        unsynced_ = true;
    else
        platform::logSystemError("writing BriskoLog", errno);
}

bool ActivityLog::sync()
{
    if (!unsynced_ || !file_.isOpen())
        return true;
    unsynced_ = false;
    return file_.flush();
}

void ActivityLog::close()
{
    // Nobody is left to tell at this point; the lines that may be lost are logged.
    if (!sync())
        platform::logSystemError("fdatasync(BriskoLog)", errno);
    file_.close();
    unsynced_ = false;
}

} // namespace store
