#pragma once
// The typed face of a station's two flag words. The console keeps a
// MailboxWord per station: it posts commands into it, keeps its own state bits
// there and takes the station's events out of it. The link keeps a LinkWord:
// the station thread takes commands out of it and raises events into it. The
// listener relays between the two (relay.h). The bits themselves and the
// clearing rules are in link_bits.h; nothing outside this header and the relay
// needs them.
// Value types, no locking of their own: a shared word is read and written
// under its lock (MailboxAccess, ConsoleLink::withMailbox, the slot's lock).

#include "link/link_bits.h"

#include <cstdint>
#include <type_traits>

namespace stationlink {

// The console's own state bits, kept in the MailboxWord only.
enum class LinkState : std::uint32_t {
    Connected = layout::LINK_CONNECTED, // the console regards the station as connected
    Session = layout::LINK_SESSION,     // the console holds a session for it
    Stopping = layout::LINK_STOPPING,   // a LOCK is on its way
    Starting = layout::LINK_STARTING,   // an UNLOCK is on its way
};

// What the console tells a station.
enum class Command : std::uint32_t {
    Unlock = layout::CMD_UNLOCK,
    Lock = layout::CMD_LOCK,
    SessionInfo = layout::CMD_SESSION_INFO,
    Quit = layout::CMD_QUIT,
    Shutdown = layout::CMD_SHUTDOWN,
};

// What a station's thread reports to the console.
enum class Event : std::uint32_t {
    Connected = layout::EVT_CONNECTED,
    Disconnected = layout::EVT_DISCONNECTED,
    Stopped = layout::EVT_STOPPED,
    Started = layout::EVT_STARTED,
};

// A set of state bits, commands or events, kept as the bits they are in a word.
template <class Flag>
class FlagSet {
public:
    constexpr FlagSet() = default;
    constexpr FlagSet(Flag flag) : bits_(static_cast<std::uint32_t>(flag)) {}

    constexpr bool has(Flag flag) const { return (bits_ & flagBit(flag)) != 0; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr FlagSet& operator|=(FlagSet other)
    {
        bits_ |= other.bits_;
        return *this;
    }
    friend constexpr FlagSet operator|(FlagSet a, FlagSet b) { return a |= b; }
    friend constexpr bool operator==(FlagSet, FlagSet) = default;

    // The bits as they are OR-ed into a word (commands and events with LINK_PENDING).
    constexpr std::uint32_t bits() const { return bits_; }
    // The bits that tell the members apart, without LINK_PENDING.
    constexpr std::uint32_t flags() const { return bits_ & ~layout::LINK_PENDING; }
    static constexpr FlagSet fromBits(std::uint32_t bits)
    {
        FlagSet set;
        set.bits_ = bits;
        return set;
    }
    static constexpr std::uint32_t flagBit(Flag flag) { return layout::flagOf(static_cast<std::uint32_t>(flag)); }

private:
    std::uint32_t bits_ = 0;
};

using LinkStates = FlagSet<LinkState>;
using Commands = FlagSet<Command>;
using StationEvents = FlagSet<Event>;

constexpr LinkStates operator|(LinkState a, LinkState b) { return LinkStates(a) | b; }
constexpr Commands operator|(Command a, Command b) { return Commands(a) | b; }
constexpr StationEvents operator|(Event a, Event b) { return StationEvents(a) | b; }

// What both words share: commands and events, each with LINK_PENDING.
class StationWord {
public:
    constexpr StationWord() = default;
    constexpr explicit StationWord(std::uint32_t bits) : bits_(bits) {}

    constexpr std::uint32_t bits() const { return bits_; }
    constexpr bool holds(Command command) const { return (bits_ & Commands::flagBit(command)) != 0; }
    constexpr bool holds(Event event) const { return (bits_ & StationEvents::flagBit(event)) != 0; }
    // Whether every one of the events is there.
    constexpr bool holds(StationEvents events) const
    {
        return !events.empty() && (bits_ & events.flags()) == events.flags();
    }
    constexpr bool pending() const { return (bits_ & layout::LINK_PENDING) != 0; }
    constexpr StationEvents events() const { return StationEvents::fromBits(withPending(bits_ & layout::kEventFlags)); }
    constexpr Commands commands() const { return Commands::fromBits(withPending(bits_ & layout::kCommandFlags)); }
    friend constexpr bool operator==(const StationWord&, const StationWord&) = default;

protected:
    static constexpr std::uint32_t withPending(std::uint32_t flags)
    {
        return flags != 0 ? flags | layout::LINK_PENDING : 0;
    }
    std::uint32_t bits_ = 0;
};

// The console's word for one station.
class MailboxWord : public StationWord {
public:
    using StationWord::StationWord;

    constexpr bool has(LinkState state) const { return (bits_ & LinkStates::flagBit(state)) != 0; }
    constexpr void set(LinkStates states) { bits_ |= states.bits(); }
    constexpr void clear(LinkStates states) { bits_ &= ~states.bits(); }

    constexpr void post(Commands commands) { bits_ |= commands.bits(); }
    // Takes commands back that have not been relayed yet.
    constexpr void withdraw(Commands commands) { bits_ = layout::clearFlags(bits_, commands.flags()); }

    // The listener's side: events arrive, commands leave.
    constexpr void deliver(StationEvents events) { bits_ |= events.bits(); }
    constexpr void forget(Event event) { bits_ &= ~StationEvents::flagBit(event); }
    // Takes the events handled in one pass out of the word, LINK_PENDING with
    // them. Returns whether another pass is due: events remain and this one
    // handled something (a pass that handles nothing cannot handle more).
    constexpr bool takeHandled(StationEvents handled)
    {
        bits_ &= ~handled.bits();
        if ((bits_ & ~layout::kSurvivingBits) == 0 || (bits_ & layout::kEventFlags) == 0 || handled.empty())
            return false;
        bits_ |= layout::LINK_PENDING;
        return true;
    }
    // Takes events out by the clearing rule.
    constexpr void take(StationEvents events) { bits_ = layout::clearFlags(bits_, events.flags()); }
    // Takes every event out: what a program that only waits for one sees.
    constexpr StationEvents takeEvents()
    {
        const StationEvents taken = events();
        take(taken);
        return taken;
    }
};

// The link's word for one station.
class LinkWord : public StationWord {
public:
    using StationWord::StationWord;

    constexpr void post(Commands commands) { bits_ |= commands.bits(); }
    // Takes commands out; LINK_PENDING stays only while a command remains.
    constexpr void withdraw(Commands commands) { bits_ = layout::clearCommandFlags(bits_, commands.flags()); }
    constexpr void raise(StationEvents events) { bits_ |= events.bits(); }
    constexpr void forget(Event event) { bits_ &= ~StationEvents::flagBit(event); }
    // Takes every event out once the listener has relayed them.
    constexpr void clearEvents()
    {
        if ((bits_ & layout::kEventFlags) != 0)
            bits_ = layout::clearFlags(bits_, layout::kEventFlags);
    }
};

static_assert(std::is_trivially_copyable_v<MailboxWord> && sizeof(MailboxWord) == sizeof(std::uint32_t));

} // namespace stationlink
