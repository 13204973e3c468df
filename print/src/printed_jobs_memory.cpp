#include "print/printed_jobs_memory.h"

#include "platform/system_error_log.h"

#include <cerrno>
#include <charconv>
#include <string_view>
#include <vector>

namespace print {

namespace {

std::vector<std::string_view> splitTabs(std::string_view line)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            return parts;
        start = tab + 1;
    }
}

template <typename T>
bool number(std::string_view text, T& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Tabs and line ends cannot be part of a server name in the file.
std::string fieldText(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return out;
}

} // namespace

PrintedJobsMemory::PrintedJobsMemory(std::filesystem::path file) : path_(std::move(file)) {}

bool PrintedJobsMemory::open()
{
    std::lock_guard lock(mutex_);
    if (file_.isOpen())
        return true;
    file_ = platform::SharedFile::openOwned(path_).value_or(platform::SharedFile{});
    if (!file_.isOpen())
        return false;
    const auto bytes = file_.readAll();
    if (bytes) {
        std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos)
                break; // a line cut short by a crash is not trusted
            const auto parts = splitTabs(text.substr(start, end - start));
            start = end + 1;
            int id = 0;
            std::time_t created = 0;
            if (parts.size() == 2 && parts[0] == "WATCH")
                watched_.insert(std::string(parts[1]));
            else if (parts.size() == 4 && parts[0] == "JOB" && number(parts[2], id) && number(parts[3], created))
                jobs_.emplace(std::string(parts[1]), id, created);
        }
        // The torn line goes: the next line written must start a line of its own,
        // or it would be lost with the torn one and its job charged again. When
        // it cannot be cut off, a line break ends it (an unreadable line, skipped).
        if (start < text.size() && !file_.truncate(start) && !(file_.seekToEnd() && file_.write("\n"))) {
            platform::logSystemError("cutting the torn line of BriskoPrinted", errno);
            file_.close();
            return false;
        }
    }
    // Lines are written where the file position is: at the end, or not at all.
    if (!file_.seekToEnd()) {
        platform::logSystemError("lseek(BriskoPrinted)", errno);
        file_.close();
        return false;
    }
    return true;
}

void PrintedJobsMemory::close()
{
    std::lock_guard lock(mutex_);
    file_.close();
}

bool PrintedJobsMemory::watched(const std::string& server) const
{
    std::lock_guard lock(mutex_);
    return watched_.contains(fieldText(server));
}

void PrintedJobsMemory::markWatched(const std::string& server)
{
    std::lock_guard lock(mutex_);
    if (watched_.insert(fieldText(server)).second)
        append("WATCH\t" + fieldText(server) + "\n");
}

bool PrintedJobsMemory::contains(const std::string& server, int jobId, std::time_t created) const
{
    std::lock_guard lock(mutex_);
    return jobs_.contains({fieldText(server), jobId, created});
}

void PrintedJobsMemory::remember(const std::string& server, int jobId, std::time_t created)
{
    std::lock_guard lock(mutex_);
    if (jobs_.emplace(fieldText(server), jobId, created).second)
        append("JOB\t" + fieldText(server) + "\t" + std::to_string(jobId) + "\t" + std::to_string(created) + "\n");
}

void PrintedJobsMemory::append(const std::string& line)
{
    // One write per line, pushed to the disk: a charge must survive a crash.
    // The job is still remembered in memory when the disk refuses; only a
    // restart could then hand it over once more, so the failure is logged.
    if (file_.isOpen() && !(file_.write(line) && file_.flush()))
        platform::logSystemError("writing BriskoPrinted", errno);
}

} // namespace print
