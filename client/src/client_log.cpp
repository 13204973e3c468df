#include "client/client_log.h"

#include "platform/shared_file.h"

#include <cstdio>
#include <optional>
#include <utility>

namespace client {

namespace {
constexpr std::size_t kPendingLimit = std::size_t{64} * 1024;
}

ClientLog::ClientLog(std::filesystem::path file) : file_(std::move(file)) {}

ClientLog::~ClientLog() { closeBlock(); }

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

void ClientLog::beginAttempt()
{
    closeBlock();
    inAttempt_ = true;
}

void ClientLog::endAttempts()
{
    closeBlock();
    inAttempt_ = false;
}

void ClientLog::closeBlock()
{
    if (block_.empty())
        return;
    // A block the file cannot take now is dropped: the next attempt logs its own.
    (void)writeUnit(block_);
    block_.clear();
}

bool ClientLog::writePending()
{
    if (inAttempt_) {
        // A line polled over and over within an attempt ("TRYING RECV
        // WOULDBLOCK") is kept once, so that attempts that went the same way
        // read the same however long each waited.
        if (!block_.ends_with(pending_) ||
            (block_.size() > pending_.size() && block_[block_.size() - pending_.size() - 1] != '\n'))
            block_ += pending_;
        pending_.clear();
        return true;
    }
    // An unopened file keeps the text for the next line; a failed write loses it.
    const Written written = writeUnit(pending_);
    if (written == Written::NotOpened)
        return false;
    pending_.clear();
    return written == Written::Done;
}

ClientLog::Written ClientLog::writeUnit(const std::string& text)
{
    platform::SharedFile file;
    std::optional<std::uint64_t> end;
    const auto openAtEnd = [&] {
        file = platform::SharedFile::openOwned(file_).value_or(platform::SharedFile{});
        if (!file.isOpen())
            return Written::NotOpened;
        end = file.seekToEnd() ? file.position() : std::nullopt;
        return end ? Written::Done : Written::Failed;
    };
    if (const Written opened = openAtEnd(); opened != Written::Done)
        return opened;
    if (*end + text.size() > kSizeLimit) {
        // One older log is kept beside the current one.
        file.close();
        std::error_code ec;
        std::filesystem::rename(file_, std::filesystem::path(file_) += ".1", ec);
        lastUnit_.clear();
        repeatCount_ = 0;
        if (const Written opened = openAtEnd(); opened != Written::Done)
            return opened;
    }

    if (text != lastUnit_) {
        repeatCount_ = 0;
        lastUnit_ = text;
        repeatPosition_ = *end + lastUnit_.size();
        return file.write(lastUnit_) ? Written::Done : Written::Failed;
    }
    // The note always grows with the count, so it overwrites the previous one whole.
    if (!file.seek(repeatPosition_))
        return Written::Failed;
    ++repeatCount_;
    char note[48];
    std::snprintf(note, sizeof note, "^ repeated %d times.\r\n", repeatCount_);
    return file.write(std::string(note)) ? Written::Done : Written::Failed;
}

// The station's log names socket errors by their Windows Sockets names on every
// system: the log lines are part of what the station shows (tests and the
// console operator's support read them word for word), so they keep those names.
std::string socketErrorName(int code)
{
    switch (code) {
    case 10004:
        return "WSAEINTR";
    case 10014:
        return "WSAEFAULT";
    case 10022:
        return "WSAEINVAL";
    case 10024:
        return "WSAEMFILE";
    case 10035:
        return "WSAEWOULDBLOCK";
    case 10036:
        return "WSAEINPROGRESS";
    case 10038:
        return "WSAENOTSOCK";
    case 10040:
        return "WSAEMSGSIZE";
    case 10045:
        return "WSAEOPNOTSUPP";
    case 10050:
        return "WSAENETDOWN";
    case 10052:
        return "WSAENETRESET";
    case 10053:
        return "WSAECONNABORTED";
    case 10054:
        return "WSAECONNRESET";
    case 10055:
        return "WSAENOBUFS";
    case 10057:
        return "WSAENOTCONN";
    case 10058:
        return "WSAESHUTDOWN";
    case 10060:
        return "WSAETIMEDOUT";
    case 10093:
        return "WSANOTINITIALISED";
    default: {
        char text[32];
        std::snprintf(text, sizeof text, "Unknown: %d", code);
        return text;
    }
    }
}

} // namespace client
