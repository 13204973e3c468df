#pragma once
// The station's diagnostic log "Tamblo.log". It has no time stamps; runs of
// identical lines are folded into the line once followed by a single
// "^ repeated %d times." note, because the connection code repeats the same
// lines many times a second while it waits. The file is opened and closed for
// every completed line so that it survives a hard power-off.
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
    explicit ClientLog(std::filesystem::path file);

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

    std::filesystem::path file_;
    std::string pending_;
    std::string lastLine_;
    std::uint64_t repeatPosition_ = 0;
    int repeatCount_ = 0;
};

// The Windows Sockets name of a socket error number, or "Unknown: %d".
std::string socketErrorName(int code);

} // namespace client
