#pragma once
// Where the console listens for stations and how long the link waits for a
// peer that has gone quiet.

#include "link/cafe_key.h"
#include "link/protocol.h"
#include "platform/ipv4.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace stationlink {

// Every per-station array has this many slots.
inline constexpr int kMaxStations = 99;

struct LinkSettings {
    // Address the main port and the station ports are bound to; 0.0.0.0 is every local address.
    platform::Ipv4Address listenAddress{};
    // The cafe's key: stations that prove it are served over TLS, others only
    // where the owner allows it (LinkServer::setKeylessStations). Without a key
    // every station is served over the original handshake.
    std::optional<CafeKey> key;
    // The main port; 0 lets the system choose (see LinkServer::mainPort()).
    std::uint16_t port = kMainPort;
    // How long an accepted main-port connection may take to send its CONNECT.
    std::chrono::milliseconds connectWait{1000};
    // How long a station may take to answer its port number with "OK".
    std::chrono::milliseconds handshakeWait{2000};
    // How long a station may take to answer a command before the command counts
    // as late. A late command is still waited for: its answer, however late,
    // is honoured, and it goes again if the connection is made anew.
    std::chrono::milliseconds answerWait{3000};
    // How long a station that has just connected has to reclaim its session
    // with "STARTED" (it sends it at once) before the console hears of it.
    std::chrono::milliseconds reclaimWait{500};
};

// Reads a listening option "ADDRESS", "ADDRESS:PORT" or ":PORT" (for example
// "127.0.0.1:32001") into a copy of `base`; nullopt when it is not one of those.
std::optional<LinkSettings> parseListenOption(std::string_view text, LinkSettings base = {});

} // namespace stationlink
