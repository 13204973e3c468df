#pragma once
// Everything the console, the listener and one station thread share about one
// station: the two words with their locks, the session figures, the start time
// carried by STARTED, the hand-off of a main-port connection, and the events.

#include "link/channel.h"
#include "link/link_security.h"
#include "link/session_info_record.h"
#include "link/station_words.h"
#include "platform/event.h"
#include "platform/tcp_socket.h"

#include <atomic>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>

namespace stationlink {

struct StationSlot {
    // Console side: commands posted, events delivered, the console's own state bits.
    std::mutex mailboxLock;
    MailboxWord mailboxWord;
    // Link side: commands waiting to be sent, events waiting to be relayed.
    std::mutex linkLock;
    LinkWord linkWord;

    std::mutex sessionInfoLock;
    SessionInfoRecord sessionInfo;
    std::atomic<std::time_t> startTime{0};
    // The stamp of a "STARTED" the console has not looked at yet (under the lock).
    std::mutex reportLock;
    std::optional<std::string> reportedStamp;
    // The command the station was sent and has not answered for longer than the
    // answer wait, or 0 (the bits of a Command).
    std::atomic<std::uint32_t> lateCommand{0};

    // A main-port connection whose CONNECT named this station, waiting for the
    // station thread to answer it.
    std::mutex handoffLock;
    Channel handoff;
    // What the station's last handshake spoke.
    std::atomic<StationKeying> keying{StationKeying::Unknown};
    // The station said "SETUP BEGUN" and not yet "SETUP ENDED" on this connection.
    std::atomic<bool> inSetup{false};

    platform::ManualResetEvent commandPosted;   // console -> listener
    platform::ManualResetEvent sendCommand;     // listener -> station thread
    platform::ManualResetEvent linkChanged;     // station thread -> listener
    platform::ManualResetEvent linkChangeTaken; // listener -> station thread
    platform::ManualResetEvent eventForConsole; // listener -> console
    platform::ManualResetEvent connectRequest;  // listener -> station thread
    platform::ManualResetEvent stationStop;     // console -> station thread

    std::atomic<bool> running{false};
};

} // namespace stationlink
