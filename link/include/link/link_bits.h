#pragma once
// The bit layout of the two per-station words (MailboxWord on the console side,
// LinkWord on the link side) and the rules for taking flags out of a word.
// Code works with the typed face in station_words.h; the raw bits are for it,
// the relay's tests and the fuzz target, which check the layout itself.
//
// Every command and event constant already carries LINK_PENDING, so OR-ing one
// in (word |= CMD_LOCK) sets both bits, and clearing one with clearFlags()
// removes LINK_PENDING too before deciding whether it must come back.

#include <cstdint>

namespace stationlink::layout {

// Console-owned state bits (mailbox only).
inline constexpr std::uint32_t LINK_CONNECTED = 0x0001;
inline constexpr std::uint32_t LINK_SESSION = 0x0002;
inline constexpr std::uint32_t LINK_STOPPING = 0x0004;
inline constexpr std::uint32_t LINK_STARTING = 0x0008;
// Set whenever any flag of 0x0020..0x2000 is set.
inline constexpr std::uint32_t LINK_PENDING = 0x0010;

// Commands (console -> station), each with LINK_PENDING.
inline constexpr std::uint32_t CMD_UNLOCK = 0x0030;
inline constexpr std::uint32_t CMD_LOCK = 0x0050;
inline constexpr std::uint32_t CMD_SESSION_INFO = 0x0810;
inline constexpr std::uint32_t CMD_QUIT = 0x1010;
inline constexpr std::uint32_t CMD_SHUTDOWN = 0x2010;

// Events (station -> console), each with LINK_PENDING.
inline constexpr std::uint32_t EVT_CONNECTED = 0x0090;
inline constexpr std::uint32_t EVT_DISCONNECTED = 0x0110;
inline constexpr std::uint32_t EVT_STOPPED = 0x0210;
inline constexpr std::uint32_t EVT_STARTED = 0x0410;

// Bits that survive when a word is emptied of flags: the four low state bits
// and the two top bits 0x4000 and 0x8000, which nothing sets.
inline constexpr std::uint32_t kSurvivingBits = 0xC00F;
// The command and event flags without LINK_PENDING.
inline constexpr std::uint32_t kCommandFlags = 0x3860;
inline constexpr std::uint32_t kEventFlags = 0x0780;

// Takes `handled` and LINK_PENDING out of the word; LINK_PENDING comes back if
// any bit outside kSurvivingBits is still set.
constexpr std::uint32_t clearFlags(std::uint32_t word, std::uint32_t handled)
{
    word &= ~(handled | LINK_PENDING);
    if ((word & ~kSurvivingBits) != 0)
        return word | LINK_PENDING;
    return word & kSurvivingBits;
}

// The station thread's variant: LINK_PENDING comes back only while a command
// flag remains.
constexpr std::uint32_t clearCommandFlags(std::uint32_t word, std::uint32_t handled)
{
    word &= ~(handled | LINK_PENDING);
    if ((word & kCommandFlags) != 0)
        return word | LINK_PENDING;
    return word;
}

// A command or event constant without LINK_PENDING: the flag that tells it apart.
constexpr std::uint32_t flagOf(std::uint32_t constant) { return constant & ~LINK_PENDING; }

// Whether the word holds the flag of a command or event constant; LINK_PENDING
// alone does not count.
constexpr bool holdsFlag(std::uint32_t word, std::uint32_t constant) { return (word & flagOf(constant)) != 0; }

constexpr bool hasFlags(std::uint32_t word, std::uint32_t flags) { return (word & flags) == flags; }

} // namespace stationlink::layout
