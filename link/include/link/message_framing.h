#pragma once
// Where one message ends in the bytes received on a connection. TCP keeps no
// boundaries, so two messages may arrive in one read and one message may arrive
// over several; each message is recognised by its own shape instead:
//
//   station to console: "OK", "STOP", "STARTED" + 14 digits, "SETUP BEGUN",
//     "SETUP ENDED";
//   console to station: "UNLOCK", "LOCK", "QUIT", "SHUTDOWN", "SERVERDOWN", or a
//     session info message: 5 characters of duration (digits, ":", spaces),
//     then three times 0x80, up to 9 characters of amount (digits, ".", "-")
//     and ",", then 14 digits of session stamp;
//   on the main port: "CONNECT" + the caller's own dotted address.
//
// Bytes that can begin no message are one unknown piece up to the first byte
// that can; so a partial message is only ever kept while it is the start of a
// real one, and what waits is never longer than the longest message.
//
// The two directions differ after that. The console sends one command and
// waits for its answer, so on the station a message must be all that came: a
// keyword with anything after it is one unknown text, answered once and not
// obeyed. The station's own messages may come together (a "STOP" with the
// answer to a command), so on the console they are taken apart.
// No state: safe from any thread.

#include "platform/ipv4.h"

#include <cstddef>
#include <string_view>

namespace stationlink {

struct Frame {
    enum class Kind {
        Message, // the first `length` bytes are one whole message
        Partial, // everything received is the start of a message: wait for more
        Unknown, // the first `length` bytes (at least one) begin no message
    };
    Kind kind = Kind::Partial;
    std::size_t length = 0;

    friend bool operator==(const Frame&, const Frame&) = default;
};

// What the console reads on a station connection.
Frame frameStationMessage(std::string_view received);
// What a station reads on its station connection.
Frame frameServerMessage(std::string_view received);
// What the console reads on the main port from a caller at `caller`: only
// "CONNECT" followed by that very address is a message.
Frame frameConnect(std::string_view received, platform::Ipv4Address caller);

} // namespace stationlink
