#include "link/protocol.h"

#include "platform/local_time.h"

#include <algorithm>
#include <charconv>

namespace stationlink {

namespace {

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int digitsValue(std::string_view digits)
{
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

std::string_view cutAt(std::string_view text, std::size_t length)
{
    return text.substr(0, std::min(text.size(), length));
}

// The longest start of `text` made only of the characters `fits` takes, cut to `length`.
template <typename Fits>
std::string_view leadingRun(std::string_view text, std::size_t length, Fits fits)
{
    text = cutAt(text, length);
    std::size_t n = 0;
    while (n < text.size() && fits(text[n]))
        ++n;
    return text.substr(0, n);
}

// The duration for the message: "hh:mm", up to any other character. The station
// tells a session info message by the characters of its fields.
std::string_view durationPiece(std::string_view duration)
{
    return leadingRun(duration, SessionInfoRecord::kDurationSize - 1,
                      [](char c) { return (c >= '0' && c <= '9') || c == ':'; });
}

// An amount for the message: digits, "." and "-", up to any other character
// (so never a ","), and at most 9 characters.
std::string_view amountPiece(std::string_view amount)
{
    return leadingRun(amount, SessionInfoRecord::kAmountSize - 1,
                      [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-'; });
}

// Takes the text up to the first "," off the front of `rest`; the comma goes too.
std::string_view takeUntilComma(std::string_view& rest, bool& found)
{
    auto comma = rest.find(',');
    found = comma != std::string_view::npos;
    std::string_view piece = found ? rest.substr(0, comma) : rest;
    rest.remove_prefix(found ? comma + 1 : rest.size());
    return piece;
}

bool isAmountPiece(std::string_view piece)
{
    return !piece.empty() && piece.front() == kCurrencyByte && piece.size() <= SessionInfoRecord::kAmountSize;
}

} // namespace

std::string buildConnect(platform::Ipv4Address own) { return std::string(kConnect) + own.toString(); }

std::optional<platform::Ipv4Address> parseConnect(std::string_view message)
{
    if (message.size() > kMaxMessageLength || !message.starts_with(kConnect))
        return std::nullopt;
    return platform::Ipv4Address::parse(message.substr(kConnect.size()));
}

std::string buildPortReply(std::uint16_t port) { return std::to_string(port); }

std::optional<std::uint16_t> parsePortReply(std::string_view message)
{
    if (!allDigits(message) || message.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    std::from_chars(message.data(), message.data() + message.size(), value);
    if (value == 0 || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

bool isOk(std::string_view message) { return message == kOk; }

std::string formatSessionStamp(std::time_t start) { return platform::formatLocalTime(kSessionStampFormat, start); }

std::optional<std::time_t> parseSessionStamp(std::string_view stamp)
{
    if (stamp.size() != kSessionStampLength || !allDigits(stamp))
        return std::nullopt;
    // Fields by position: year 0-3, month 4-5, day 6-7, hour 8-9, minute 10-11, second 12-13.
    int year = digitsValue(stamp.substr(0, 4));
    int month = digitsValue(stamp.substr(4, 2));
    int day = digitsValue(stamp.substr(6, 2));
    int hour = digitsValue(stamp.substr(8, 2));
    int minute = digitsValue(stamp.substr(10, 2));
    int second = digitsValue(stamp.substr(12, 2));
    if (year < 1970 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return std::nullopt;
    return platform::localDateTime(year, month, day, hour, minute, second);
}

std::string buildStarted(std::time_t start) { return std::string(kStarted) + formatSessionStamp(start); }

std::optional<std::time_t> parseStarted(std::string_view message)
{
    if (!message.starts_with(kStarted))
        return std::nullopt;
    return parseSessionStamp(message.substr(kStarted.size()));
}

StationMessageKind classifyStationMessage(std::string_view message)
{
    if (message == kOk)
        return StationMessageKind::Ok;
    if (message == kStop)
        return StationMessageKind::Stop;
    if (parseStarted(message))
        return StationMessageKind::Started;
    if (message == kSetupBegun)
        return StationMessageKind::SetupBegun;
    if (message == kSetupEnded)
        return StationMessageKind::SetupEnded;
    return StationMessageKind::Other;
}

ServerMessageKind classifyServerMessage(std::string_view message)
{
    if (message.empty())
        return ServerMessageKind::Empty;
    if (message == kUnlock)
        return ServerMessageKind::Unlock;
    if (message == kLock)
        return ServerMessageKind::Lock;
    if (message == kQuit)
        return ServerMessageKind::Quit;
    if (message == kShutdown)
        return ServerMessageKind::Shutdown;
    if (message == kServerDown)
        return ServerMessageKind::ServerDown;
    return ServerMessageKind::SessionInfo;
}

std::string buildSessionInfoMessage(const SessionInfoRecord& record)
{
    std::string message;
    message.reserve(52);
    std::string_view duration = durationPiece(record.duration);
    message += duration;
    message.append(SessionInfoRecord::kDurationSize - 1 - duration.size(), ' ');
    message += kCurrencyByte;
    message += amountPiece(record.accessCost);
    message += ',';
    message += kCurrencyByte;
    message += amountPiece(record.extras);
    message += ',';
    message += kCurrencyByte;
    message += amountPiece(record.total);
    message += ',';
    std::string_view stamp = cutAt(record.stamp, kSessionStampLength);
    bool fullStamp = stamp.size() == kSessionStampLength && allDigits(stamp);
    message += fullStamp ? std::string(stamp) : std::string(kSessionStampLength, '0');
    return message;
}

SessionInfo parseSessionInfoMessage(std::string_view message)
{
    SessionInfo info;
    bool fits = message.size() <= kMaxMessageLength;
    std::string_view rest = cutAt(message, kMaxMessageLength);

    std::string_view duration = cutAt(rest, SessionInfoRecord::kDurationSize - 1);
    rest.remove_prefix(duration.size());
    bool comma1 = false, comma2 = false, comma3 = false;
    std::string_view access = takeUntilComma(rest, comma1);
    std::string_view extras = takeUntilComma(rest, comma2);
    std::string_view total = takeUntilComma(rest, comma3);

    info.duration = duration;
    info.accessCost = cutAt(access, SessionInfoRecord::kAmountSize);
    info.extras = cutAt(extras, SessionInfoRecord::kAmountSize);
    info.total = cutAt(total, SessionInfoRecord::kAmountSize);
    info.stamp = cutAt(rest, kSessionStampLength);
    info.wellFormed = fits && duration.size() == SessionInfoRecord::kDurationSize - 1 && comma1 && comma2 && comma3 &&
                      isAmountPiece(access) && isAmountPiece(extras) && isAmountPiece(total) &&
                      parseSessionStamp(rest).has_value();
    return info;
}

} // namespace stationlink
