#pragma once
// The station's diagnostic log "Tamblo.log". It has no time stamps; runs of
// identical lines are folded into the line once followed by a single
// "^ repeated %d times." note, because the connection code repeats the same
// lines many times a second while it waits. The lines of one connection
// attempt form a block, and a block the same as the one before is folded the
// same way, so that a console away for a day costs a few lines, not megabytes:
// the log grows by a block only when the way the attempts go changes. Past
// kSizeLimit bytes the log is renamed to "Tamblo.log.1" (replacing the one
// before) and starts afresh. The file is opened and closed for every completed
// line (or block) so that it survives a hard power-off.
//
// Thread contract: one owner thread (the window thread, or the supervisor's one thread).

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace client {

inline constexpr const char* kLogFileName = "Tamblo.log";

class ClientLog {
public:
    static constexpr std::uint64_t kSizeLimit = std::uint64_t{1024} * 1024;

    explicit ClientLog(std::filesystem::path file);
    ~ClientLog(); // the block of an attempt under way is written
    ClientLog(const ClientLog&) = delete;
    ClientLog& operator=(const ClientLog&) = delete;

    // The lines from here on belong to a new connection attempt; the block of
    // the attempt before is written now, or folded when it is the same again.
    void beginAttempt();
    // The link is up: the attempt's block is written, and lines go out one by
    // one again.
    void endAttempts();

    // Appends a piece to the current line; the line is written once it holds a "\n".
    void logText(std::string_view piece);
    // Logs the text followed by "\r\n".
    void logLine(std::string_view text);
    // "Error:" followed by the error's name (or "Unknown: %d"), as one line.
    void logSocketError(int code);

    const std::filesystem::path& path() const { return file_; }
    // Text logged but not yet written (a line without its end, or a line the
    // file could not take yet).
    const std::string& pendingText() const { return pending_; }

private:
    // False when the file could not take the text.
    [[nodiscard]] bool writePending();
    // Writes `text` as one unit (a line or an attempt's block) that folds into
    // a note when it repeats the unit written last.
    enum class Written { NotOpened, Failed, Done };
    Written writeUnit(const std::string& text);
    void closeBlock();

    std::filesystem::path file_;
    std::string pending_;
    std::string lastUnit_;
    std::uint64_t repeatPosition_ = 0;
    int repeatCount_ = 0;
    bool inAttempt_ = false;
    std::string block_; // the lines of the attempt under way
};

// The Windows Sockets name of a socket error number, or "Unknown: %d".
std::string socketErrorName(int code);

} // namespace client
