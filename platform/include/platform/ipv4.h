#pragma once
// IPv4 addresses as the link and the client table keep them. A plain value
// type: safe from any thread.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// An IPv4 address as four octets in dotted order (a.b.c.d is {a, b, c, d}).
struct Ipv4Address {
    std::array<std::uint8_t, 4> octets{};

    friend bool operator==(const Ipv4Address&, const Ipv4Address&) = default;
    bool isAny() const { return octets == std::array<std::uint8_t, 4>{}; }
    bool hasZeroOctet() const;
    std::string toString() const; // "%d.%d.%d.%d"
    // Strict dotted-quad parse ("127.0.0.5"); nullopt for anything else.
    static std::optional<Ipv4Address> parse(std::string_view text);
    static Ipv4Address loopback() { return {{127, 0, 0, 1}}; }
};

} // namespace platform
