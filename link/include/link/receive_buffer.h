#pragma once
// The bytes received on one connection that have not been taken as messages
// yet. Reads are appended as they come; whole messages are taken off the
// front one at a time, and a partial one stays until the rest arrives (see
// message_framing.h for where each message ends). Bytes that begin no message
// come out as one piece of their own, so that the caller treats them as text it
// does not know, and they never hold up the messages behind them. A reader that
// must answer every message can also give up waiting for the rest of a
// partial one (takeStalled), so that a peer that stops half-way is not left
// unanswered.
//
// Not thread-safe: it belongs to the one thread that reads the connection.

#include "link/message_framing.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace stationlink {

class ReceiveBuffer {
public:
    using Framer = Frame (*)(std::string_view received);

    explicit ReceiveBuffer(Framer framer) : framer_(framer) {}

    void append(std::string_view bytes);
    // The next whole message or unknown piece; nullopt while what is here is
    // only the start of a message, or nothing.
    std::optional<std::string> take();
    // The start of a message that has had no new byte for `patience`, as it
    // stands: a peer that stopped half-way meant it as all it had to say.
    std::optional<std::string> takeStalled(std::chrono::milliseconds patience);
    // True when take() would give a piece.
    bool holdsPiece() const;
    // Bytes waiting: after take() has given everything it can, at most the
    // longest message less one byte.
    std::size_t size() const { return received_.size(); }
    // Forgets everything, for a new connection.
    void clear() { received_.clear(); }

private:
    Framer framer_;
    std::string received_;
    std::chrono::steady_clock::time_point lastByte_{};
};

} // namespace stationlink
