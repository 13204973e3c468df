#pragma once
// Who the link serves: with the cafe's key, stations that prove it (TLS with
// the key, see channel.h) and, where the owner allows it station by station,
// older stations without a key; without a key, every station over the
// original handshake. Whoever is turned away is reported to the console, once
// per address and reason, so that the owner can see why a station stays away.
//
// Plain values: safe from any thread.

#include "platform/ipv4.h"

#include <string_view>

namespace stationlink {

// What a station's last handshake spoke.
enum class StationKeying {
    Unknown, // not seen since the console started
    Keyed,   // proved the cafe's key
    Keyless, // spoke without a key (served only where the owner allows it)
};

struct LinkRefusal {
    enum class Reason {
        NoKey,               // a station without the key, not allowed to connect without it
        WrongKey,            // TLS with a key that is not the cafe's
        ConsoleHasNoKey,     // a station with a key, and this console has none
        UnknownStation,      // an address listed for no station
        ClaimedOtherAddress, // it announced another address than the one it connects from
    };
    platform::Ipv4Address address;
    Reason reason = Reason::NoKey;
    platform::Ipv4Address claimed{}; // what it announced (ClaimedOtherAddress)

    friend bool operator==(const LinkRefusal&, const LinkRefusal&) = default;
};

// Short words for the activity log and the owner: "no key", "wrong key", ...
std::string_view refusalText(LinkRefusal::Reason reason);
// The same for one refusal, with what it claimed where that matters:
// "claimed 127.0.1.1".
std::string describeRefusal(const LinkRefusal& refusal);

} // namespace stationlink
