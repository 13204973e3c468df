#pragma once
// The activity log "BriskoLog": one text line per console event, stamped with the
// local time "%d%m%y%H%M", appended and pushed to disk at once.

#include "platform/clock.h"
#include "platform/shared_file.h"
#include "store/store_notifier.h"

#include <filesystem>
#include <string>

namespace store {

class ActivityLog {
public:
    ActivityLog(const std::filesystem::path& folder, const platform::Clock& clock, StoreNotifier& notifier);

    // Opens (creates) the log for appending; on failure shows "File Open Failed".
    bool open();
    // Appends stamp + "," + text + "\n" in one write and flushes it. A closed log is
    // opened once more first; when that fails too the line is dropped.
    void WriteLogLine(const std::string& text);
    void close();
    bool isOpen() const { return file_.isOpen(); }

private:
    std::filesystem::path path_;
    const platform::Clock& clock_;
    StoreNotifier& notifier_;
    platform::SharedFile file_;
};

} // namespace store
