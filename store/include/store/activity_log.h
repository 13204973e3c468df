#pragma once
// The activity log "BriskoLog": one text line per console event, stamped with the
// local time "%d%m%y%H%M" and appended with a single write, so a line written is
// safe from a crash of the program at once. Pushing the lines to the disk is left
// to sync(), which the console calls once per timer pass rather than once per
// line (99 stations stopping together would otherwise stall the window).
// Window thread only.

#include "platform/clock.h"
#include "platform/shared_file.h"
#include "store/store_notifier.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace store {

class ActivityLog {
public:
    ActivityLog(const std::filesystem::path& folder, const platform::Clock& clock, StoreNotifier& notifier);

    // Opens (creates) the log for appending, cutting off a line left torn by a
    // power loss; on failure shows "File Open Failed". The result is for the
    // callers that act on it: the operator has been told either way.
    bool open();
    // Appends stamp + "," + text + "\n" in one write. A closed log is opened once
    // more first; when that fails too the line is dropped.
    void writeLogLine(const std::string& text);
    // Pushes the lines written since the last sync to the disk; nothing to do
    // when none were. False when the disk refused.
    [[nodiscard]] bool sync();
    bool hasUnsyncedLines() const { return unsynced_; }
    // Syncs and closes.
    void close();
    // Also hands every line's text (without its stamp) to `mirror`, which may
    // pass some on elsewhere (the system's log).
    void setMirror(std::function<void(const std::string&)> mirror) { mirror_ = std::move(mirror); }
    bool isOpen() const { return file_.isOpen(); }

private:
    // Longer than any line the console writes.
    static constexpr std::uint64_t kLongestLine = 4096;
    void cutTornLine();

    std::filesystem::path path_;
    const platform::Clock& clock_;
    StoreNotifier& notifier_;
    platform::SharedFile file_;
    bool unsynced_ = false;
    std::function<void(const std::string&)> mirror_;
};

} // namespace store
