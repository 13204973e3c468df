#pragma once
// "BriskoPrinted": the print jobs already dealt with (charged, or found not to
// be chargeable), so that no restart of the monitor, the print server or the
// console ever charges a job twice. A text file beside the console's other
// data files, opened like them (created when missing, never truncated, held
// open, others may only read), appended one line at a time:
//
//   WATCH<TAB>server<LF>                   the server's history was taken in once:
//                                          jobs finished before then are never charged
//   JOB<TAB>server<TAB>id<TAB>created<LF>  job id and its time-at-creation (seconds
//                                          since 1970) on that server
//
// "server" is the print server name as the printer table gives it. A job is
// known by id and creation time together, so a server that starts counting its
// jobs from 1 again still has its new jobs charged. Unreadable lines are skipped.
// Thread contract: every member may be called from any thread.

#include "platform/shared_file.h"

#include <ctime>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <tuple>

namespace print {

class PrintedJobsMemory {
public:
    explicit PrintedJobsMemory(std::filesystem::path file);

    // Opens the file and reads it; false (remembering only in memory) when it
    // cannot be opened.
    [[nodiscard]] bool open();
    void close();

    bool watched(const std::string& server) const;
    void markWatched(const std::string& server);
    bool contains(const std::string& server, int jobId, std::time_t created) const;
    // Adds the job (once) and appends its line.
    void remember(const std::string& server, int jobId, std::time_t created);

private:
    using Key = std::tuple<std::string, int, std::time_t>;
    void append(const std::string& line);

    std::filesystem::path path_;
    mutable std::mutex mutex_;
    platform::SharedFile file_;
    std::set<std::string> watched_;
    std::set<Key> jobs_;
};

} // namespace print
