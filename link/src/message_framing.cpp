#include "link/message_framing.h"

#include "link/protocol.h"

#include <array>
#include <string>

namespace stationlink {

namespace {

// How far the front of the received bytes matches one kind of message.
struct Match {
    enum class Kind { Whole, Start, No };
    Kind kind = Kind::No;
    std::size_t length = 0;
};

constexpr Match whole(std::size_t length) { return {Match::Kind::Whole, length}; }
constexpr Match start() { return {Match::Kind::Start, 0}; }
constexpr Match no() { return {Match::Kind::No, 0}; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

Match matchLiteral(std::string_view received, std::string_view literal)
{
    if (received.starts_with(literal))
        return whole(literal.size());
    return literal.starts_with(received) ? start() : no();
}

// `keyword` followed by exactly `digits` decimal digits.
Match matchKeywordAndDigits(std::string_view received, std::string_view keyword, std::size_t digits)
{
    std::size_t length = keyword.size() + digits;
    for (std::size_t i = 0; i < length; ++i) {
        if (i == received.size())
            return start();
        bool fits = i < keyword.size() ? received[i] == keyword[i] : isDigit(received[i]);
        if (!fits)
            return no();
    }
    return whole(length);
}

// The characters each field of a session info message is made of: the
// duration "hh:mm" (padded with spaces when shorter), amounts as "%.2f" writes
// them, and the stamp's digits.
bool isDurationCharacter(char c) { return isDigit(c) || c == ':' || c == ' '; }
bool isAmountCharacter(char c) { return isDigit(c) || c == '.' || c == '-'; }

Match matchSessionInfo(std::string_view received)
{
    constexpr std::size_t kDuration = SessionInfoRecord::kDurationSize - 1;
    constexpr std::size_t kAmount = SessionInfoRecord::kAmountSize - 1;
    std::size_t at = 0;
    for (; at < kDuration; ++at) {
        if (at == received.size())
            return start();
        if (!isDurationCharacter(received[at]))
            return no();
    }
    for (int field = 0; field < 3; ++field) {
        if (at == received.size())
            return start();
        if (received[at++] != kCurrencyByte)
            return no();
        for (std::size_t taken = 0;; ++taken) {
            if (at == received.size())
                return start();
            const char c = received[at++];
            if (c == ',')
                break;
            if (taken == kAmount || !isAmountCharacter(c))
                return no();
        }
    }
    for (std::size_t i = 0; i < kSessionStampLength; ++i) {
        if (at == received.size())
            return start();
        if (!isDigit(received[at++]))
            return no();
    }
    return whole(at);
}

constexpr std::size_t kStationMessageKinds = 5;

Match matchStationMessage(std::string_view received, std::size_t which)
{
    switch (which) {
    case 0:
        return matchLiteral(received, kOk);
    case 1:
        return matchLiteral(received, kStop);
    case 2:
        return matchLiteral(received, kSetupBegun);
    case 3:
        return matchLiteral(received, kSetupEnded);
    default:
        return matchKeywordAndDigits(received, kStarted, kSessionStampLength);
    }
}

// The first whole message in priority order; else wait while any could still
// follow; else the bytes up to the first place where a message could begin.
template <typename MatchOne, typename CanBegin>
Frame frameWith(std::string_view received, std::size_t kinds, MatchOne matchOne, CanBegin canBegin)
{
    if (received.empty())
        return {Frame::Kind::Partial, 0};
    bool started = false;
    for (std::size_t which = 0; which < kinds; ++which) {
        Match m = matchOne(received, which);
        if (m.kind == Match::Kind::Whole)
            return {Frame::Kind::Message, m.length};
        started = started || m.kind == Match::Kind::Start;
    }
    if (started)
        return {Frame::Kind::Partial, 0};

    std::size_t skip = 1;
    while (skip < received.size() && !canBegin(received.substr(skip)))
        ++skip;
    return {Frame::Kind::Unknown, skip};
}

template <typename MatchOne>
bool anyMatches(std::string_view text, std::size_t kinds, MatchOne matchOne)
{
    for (std::size_t which = 0; which < kinds; ++which)
        if (matchOne(text, which).kind != Match::Kind::No)
            return true;
    return false;
}

constexpr std::array kServerKeywords{kUnlock, kLock, kQuit, kShutdown, kServerDown};

// A byte that a keyword or a session info message can begin with.
bool canBeginServerMessage(char c)
{
    for (std::string_view keyword : kServerKeywords)
        if (keyword.front() == c)
            return true;
    return isDurationCharacter(c);
}

} // namespace

Frame frameStationMessage(std::string_view received)
{
    return frameWith(received, kStationMessageKinds, matchStationMessage,
                     [](std::string_view text) { return anyMatches(text, kStationMessageKinds, matchStationMessage); });
}

// The console sends one message and waits for its answer, so what it sends
// arrives alone. Bytes that can begin nothing are one unknown piece, so they
// never hold up the command behind them; after that, only a message that is
// everything received counts: a keyword with anything after it ("UNLOCKX",
// two commands run together) is one text that matches nothing.
Frame frameServerMessage(std::string_view received)
{
    if (received.empty())
        return {Frame::Kind::Partial, 0};
    std::size_t unknown = 0;
    while (unknown < received.size() && !canBeginServerMessage(received[unknown]))
        ++unknown;
    if (unknown > 0)
        return {Frame::Kind::Unknown, unknown};

    bool started = false;
    for (std::string_view keyword : kServerKeywords) {
        if (received == keyword)
            return {Frame::Kind::Message, received.size()};
        started = started || (received.size() < keyword.size() && keyword.starts_with(received));
    }
    const Match info = matchSessionInfo(received);
    if (info.kind == Match::Kind::Whole && info.length == received.size())
        return {Frame::Kind::Message, received.size()};
    if (started || info.kind == Match::Kind::Start)
        return {Frame::Kind::Partial, 0};
    return {Frame::Kind::Unknown, received.size()};
}

Frame frameConnect(std::string_view received, platform::Ipv4Address caller)
{
    std::string expected = buildConnect(caller);
    auto match = [&](std::string_view text, std::size_t) { return matchLiteral(text, expected); };
    return frameWith(received, 1, match, [&](std::string_view text) { return anyMatches(text, 1, match); });
}

} // namespace stationlink
