#pragma once
// The messages between the console and its stations, shared by both programs.
//
// A message is the bytes of one send, at most 255 bytes, with no terminator or
// length: the receiver finds where it ends by its shape (message_framing.h),
// since one read may hold several messages or part of one. The handshake runs on the
// console's main port: the station sends CONNECT + its address, the console
// answers the number of the station's own port, the station answers "OK".
// Everything else travels on the station connection.
//
// Builders return the exact bytes to send. Parsers never read outside the
// given text and return nullopt (or a flag) for anything they do not accept.

#include "link/session_info_record.h"
#include "platform/ipv4.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace stationlink {

inline constexpr std::uint16_t kMainPort = 32000;
inline constexpr std::size_t kMaxMessageLength = 255;
// The currency sign of the session info message (the euro sign of code page 1252).
inline constexpr char kCurrencyByte = '\x80';
inline constexpr const char* kSessionStampFormat = "%Y%m%d%H%M%S";
inline constexpr std::size_t kSessionStampLength = 14;

inline constexpr std::string_view kConnect = "CONNECT";
inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kStarted = "STARTED";
inline constexpr std::string_view kStop = "STOP";
// The station's owner opened its setup (the station is not locked then) or
// left it again; reported so that the counter sees it.
inline constexpr std::string_view kSetupBegun = "SETUP BEGUN";
inline constexpr std::string_view kSetupEnded = "SETUP ENDED";
inline constexpr std::string_view kUnlock = "UNLOCK";
inline constexpr std::string_view kLock = "LOCK";
inline constexpr std::string_view kQuit = "QUIT";
inline constexpr std::string_view kShutdown = "SHUTDOWN";
inline constexpr std::string_view kServerDown = "SERVERDOWN";

// --- handshake ------------------------------------------------------------

// "CONNECT10.0.0.7"
std::string buildConnect(platform::Ipv4Address own);
// The announced address of a CONNECT message: the keyword followed directly by
// a dotted quad and nothing else.
std::optional<platform::Ipv4Address> parseConnect(std::string_view message);

// The station port as decimal text ("1049").
std::string buildPortReply(std::uint16_t port);
// Decimal digits only, 1..65535.
std::optional<std::uint16_t> parsePortReply(std::string_view message);

bool isOk(std::string_view message); // exactly "OK"

// --- session stamp --------------------------------------------------------

// Local time as 14 digits "%Y%m%d%H%M%S".
std::string formatSessionStamp(std::time_t start);
// Exactly 14 digits forming a valid local date and time.
std::optional<std::time_t> parseSessionStamp(std::string_view stamp);

// --- station to console ---------------------------------------------------

// "STARTED" + session stamp of `start`.
std::string buildStarted(std::time_t start);
// The start time carried by a STARTED message; nullopt when the stamp is not
// 14 digits of a valid local time, or anything follows it.
std::optional<std::time_t> parseStarted(std::string_view message);

enum class StationMessageKind { Ok, Stop, Started, SetupBegun, SetupEnded, Other };
// What one read from a station is: exactly "OK", exactly "STOP", a valid
// STARTED message, exactly "SETUP BEGUN" or "SETUP ENDED", or anything else.
StationMessageKind classifyStationMessage(std::string_view message);

// --- console to station ---------------------------------------------------

enum class ServerMessageKind { Empty, Unlock, Lock, Quit, Shutdown, ServerDown, SessionInfo };
// Exact keywords; any other non-empty text is a session info message.
ServerMessageKind classifyServerMessage(std::string_view message);

// The session info message: duration (5 characters), 0x80, access cost, ",",
// 0x80, extras, ",", 0x80, total, ",", session stamp. Fields are cut to their
// slots (duration 5, amounts 9, stamp 14) and to the characters a station
// recognises the message by (digits and ":" in the duration; digits, "." and
// "-" in the amounts): each is cut before any other character, so the
// separators stay unambiguous. A shorter duration is padded with spaces so that
// the station's fixed five-character split stays aligned. A stamp that is
// not 14 digits (once cut to its slot) goes as 14 zeros, which no station takes for a start time, so
// that the message still ends where the station looks for its end. At most 52 bytes.
std::string buildSessionInfoMessage(const SessionInfoRecord& record);

// The figures of a session info message as the station splits them: the first
// five characters are the duration; then the text up to each "," gives the
// access cost, the extras and the total (each keeping its leading 0x80); what
// remains is the session stamp. Short or malformed text yields whatever pieces
// were there (possibly empty); `wellFormed` tells whether every piece was
// present and of the right shape. Pieces are cut to their slots: duration 5,
// amounts 10 (currency byte + 9), stamp 14.
struct SessionInfo {
    std::string duration;
    std::string accessCost;
    std::string extras;
    std::string total;
    std::string stamp;
    bool wellFormed = false;

    friend bool operator==(const SessionInfo&, const SessionInfo&) = default;
};
SessionInfo parseSessionInfoMessage(std::string_view message);

} // namespace stationlink
