#include "client/client_log.h"

#include "platform/shared_file.h"

#include <cstdio>
#include <utility>

namespace client {

namespace {
constexpr std::size_t kPendingLimit = 64 * 1024;
}

ClientLog::ClientLog(std::filesystem::path file) : file_(std::move(file)) {}

void ClientLog::logText(std::string_view piece)
{
    pending_.append(piece);
    if (pending_.size() > kPendingLimit)
        pending_.erase(0, pending_.size() - kPendingLimit); // a log that never opens keeps only the latest text
    if (pending_.find('\n') == std::string::npos)
        return;
    // A log cannot report its own failure: an unopened file keeps the text for
    // the next line, and a failed write loses this one.
    (void)writePending();
}

void ClientLog::logLine(std::string_view text)
{
    std::string line(text);
    line += "\r\n";
    logText(line);
}

void ClientLog::logSocketError(int code)
{
    logText("Error:");
    logText(socketErrorName(code));
    logLine("");
}

bool ClientLog::writePending()
{
    // A file that cannot be opened keeps the text waiting for the next line.
    auto file = platform::SharedFile::openOwned(file_);
    if (!file.isOpen())
        return false;

    bool written;
    if (pending_ != lastLine_) {
        if (!file.seekToEnd())
            return false;
        auto end = file.position();
        if (!end)
            return false;
        repeatCount_ = 0;
        lastLine_ = pending_;
        repeatPosition_ = *end + lastLine_.size();
        written = file.write(lastLine_);
    } else {
        // The note always grows with the count, so it overwrites the previous one whole.
        if (!file.seek(repeatPosition_))
            return false;
        ++repeatCount_;
        char note[48];
        std::snprintf(note, sizeof note, "^ repeated %d times.\r\n", repeatCount_);
        written = file.write(std::string(note));
    }
    pending_.clear();
    return written;
}

// The station's log names socket errors by their Windows Sockets names on every
// system: the log lines are part of what the station shows (tests and the
// console operator's support read them word for word), so they keep those names.
std::string socketErrorName(int code)
{
    switch (code) {
    case 10004: return "WSAEINTR";
    case 10014: return "WSAEFAULT";
    case 10022: return "WSAEINVAL";
    case 10024: return "WSAEMFILE";
    case 10035: return "WSAEWOULDBLOCK";
    case 10036: return "WSAEINPROGRESS";
    case 10038: return "WSAENOTSOCK";
    case 10040: return "WSAEMSGSIZE";
    case 10045: return "WSAEOPNOTSUPP";
    case 10050: return "WSAENETDOWN";
    case 10052: return "WSAENETRESET";
    case 10053: return "WSAECONNABORTED";
    case 10054: return "WSAECONNRESET";
    case 10055: return "WSAENOBUFS";
    case 10057: return "WSAENOTCONN";
    case 10058: return "WSAESHUTDOWN";
    case 10060: return "WSAETIMEDOUT";
    case 10093: return "WSANOTINITIALISED";
    default: {
        char text[32];
        std::snprintf(text, sizeof text, "Unknown: %d", code);
        return text;
    }
    }
}

} // namespace client
