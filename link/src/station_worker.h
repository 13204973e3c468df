#pragma once
// One station thread: answers the station's handshake with a fresh station
// port, accepts the station's connection on it (from the station's own address
// only), reports what the station says, and sends the console's commands one
// at a time, each after the answer to the previous one. Messages are taken
// from a receive buffer, so several in one read, or one over several reads,
// all count.

#include "link/link_settings.h"
#include "link/receive_buffer.h"
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
    StationWorker(int index, StationSlot& slot, const StationDirectory& directory, const LinkSettings& settings);

    // Runs until the slot's station stop event is set.
    void run();

private:
    using Clock = std::chrono::steady_clock;

    // What a finished command or a message seen during the wait means for the
    // console's view of the station.
    enum class Effect { Started, Stopped };
    enum class Answer { Ok, Other, Lost, TimedOut, Stopping };

    struct CommandRound {
        std::optional<Effect> effect;
        bool stopSeen = false;       // during the current command's wait
        bool stationStopped = false; // a STOP came during this round and no STARTED after it
        bool goingAway = false;
        bool disconnected = false;
    };

    void wait();
    bool beginHandshake();
    void continueHandshake();
    bool acceptStation();
    bool readStation();
    bool takeStationMessage(const std::string& message);
    bool runCommands();
    Answer awaitAnswer(CommandRound& round);
    std::string commandText(std::uint32_t command);
    void dropConnection();
    void finish();

    // Raises events in the LinkWord and waits until the listener has moved
    // them; false when the station stop came first.
    bool raise(std::uint32_t events);
    bool passOn();

    int index_;
    StationSlot& slot_;
    const StationDirectory& directory_;
    const LinkSettings& settings_;

    platform::TcpSocket portListener_; // this station's port, from one handshake to the next
    bool armed_ = false;               // the handshake was answered "OK"
    platform::TcpSocket connection_;   // the station connection, when up
    ReceiveBuffer received_{frameStationMessage}; // what the station connection brought, not yet taken
    platform::TcpSocket handshake_;    // main-port connection waiting for "OK"
    std::string handshakeAnswer_;      // what it has said so far
    Clock::time_point handshakeDeadline_{};
};

} // namespace stationlink
