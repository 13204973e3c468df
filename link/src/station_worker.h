#pragma once
// One station thread: answers the station's handshake with a fresh station
// port, accepts the station's connection on it (from the station's own address
// only), reports what the station says, and sends the console's commands one
// at a time, each after the answer to the previous one. Messages are taken
// from a receive buffer, so several in one read, or one over several reads,
// all count.
//
// Nothing the console ordered is dropped: a command waits in the LinkWord
// while the station is away, a command sent is waited for however long its
// answer takes (it is reported late after the answer wait), and one whose
// connection was lost before its answer goes again on the next connection.
// Text that is no answer is passed over while the answer is awaited.
//
// A station whose handshake proved the cafe's key must prove it again on its
// station connection; one that connects there otherwise is closed and reported.
//
// A new connection is reported to the console once the station has had its
// moment to reclaim a session ("STARTED" is the first thing a station with a
// session sends), together with that reclaim, so the console decides with
// both in hand.

#include "link/channel.h"
#include "link/link_settings.h"
#include "link/receive_buffer.h"
#include "refusal_log.h"
#include "station_directory.h"
#include "station_slot.h"

#include "platform/tcp_socket.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace stationlink {

class StationWorker {
public:
    StationWorker(int index, StationSlot& slot, const StationDirectory& directory, const LinkSettings& settings,
                  RefusalLog& refusals);

    // Runs until the slot's station stop event is set.
    void run();

private:
    using Clock = std::chrono::steady_clock;

    // The command sent and not answered yet.
    struct InFlight {
        Command command = Command::Unlock;
        Clock::time_point sentAt{};
        bool stopSeen = false; // the station said "STOP" while it was under way
    };

    void wait();
    bool beginHandshake();
    void continueHandshake();
    bool acceptStation();
    // One step of the station connection's TLS handshake, when it has one.
    void continueSecuring();
    bool readStation();
    bool takeStationMessage(const std::string& message);
    bool announceConnection(StationEvents with);
    // The command under way, taken off (it is no longer late either).
    InFlight takeInFlight();
    // An UNLOCK waits in the LinkWord.
    bool unlockWaiting();
    bool completeCommand();
    bool sendNextCommand();
    void noteLateCommand();
    std::string commandText(Command command);
    // Closes the station connection; a command under way goes back to wait for
    // the next one. Returns the events the console must hear of.
    StationEvents dropConnection();
    void finish();

    // Raises events in the LinkWord and waits until the listener has moved
    // them; false when the station stop came first.
    bool raise(StationEvents events);
    bool passOn();

    int index_;
    StationSlot& slot_;
    const StationDirectory& directory_;
    const LinkSettings& settings_;
    RefusalLog& refusals_;

    platform::TcpSocket portListener_; // this station's port, from one handshake to the next
    bool armed_ = false;               // the handshake was answered "OK"
    bool secured_ = false;             // ... over TLS: the station connection must be too
    Channel connection_;               // the station connection, when up
    // The station connection's TLS handshake runs until then.
    std::optional<Clock::time_point> securingUntil_;
    ReceiveBuffer received_{frameStationMessage}; // what the station connection brought, not yet taken
    // The connection is up but not yet reported: the station's moment to reclaim runs until then.
    std::optional<Clock::time_point> announceAt_;
    std::optional<InFlight> inFlight_;
    bool goingAway_ = false;      // "QUIT" or "SHUTDOWN" was answered: the station program is ending
    Channel handshake_;           // main-port connection waiting for "OK"
    std::string handshakeAnswer_; // what it has said so far
    Clock::time_point handshakeDeadline_{};
};

} // namespace stationlink
