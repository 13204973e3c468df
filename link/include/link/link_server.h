#pragma once
// The console's side of the station link.
//
// The console never touches a socket. It posts commands into a station's
// MailboxWord and reads the station's events back from the same word
// (station_words.h). Behind
// it run one listener thread, which owns the main port (the handshake) and
// relays flags between each station's MailboxWord and LinkWord, and one
// station thread per station, which owns that station's port and connection,
// sends the commands one at a time in priority order and raises the events.
// The threads sleep on their sockets and events and wake at once when a
// command, a station message or a stop request arrives.
//
// Every public function is thread-safe and none blocks on a socket. The only
// waits are for a station's mailbox lock (held briefly by the listener) and,
// in startStationWorker / stopStationWorker / stop(), for threads to start or end.
//
// Console event poll (run every 100 ms on the window thread):
//
//     for (int i = 0; i < kMaxStations; ++i) {
//         if (!link.isStationRunning(i) || !link.takeEventForConsole(i))
//             continue;
//         stationlink::MailboxAccess mailbox = link.lockMailbox(i);
//         const stationlink::StationEvents events = mailbox.word().events();
//         ... handle Event::Started (start time from link.stationStartTime(i)
//             unless LinkState::Starting), Stopped, Disconnected, Connected,
//             then mailbox.word().takeHandled(handled) ...
//     }

#include "link/link_security.h"
#include "link/link_settings.h"
#include "link/mailbox_access.h"
#include "link/session_info_record.h"
#include "link/station_words.h"
#include "platform/ipv4.h"

#include <chrono>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace stationlink {

class LinkServer {
public:
    explicit LinkServer(LinkSettings settings = {});
    ~LinkServer(); // stops everything still running
    LinkServer(const LinkServer&) = delete;
    LinkServer& operator=(const LinkServer&) = delete;

    // Station i's address is addresses[i]; a station matches a connection only
    // through it. May be called at any time (the Clients tab changes it); the
    // link keeps its own copy.
    void setStationAddresses(std::vector<platform::Ipv4Address> addresses);

    // The key stations must prove (see LinkSettings::key); only before start().
    void setKey(std::optional<CafeKey> key);

    // Opens the main port, starts the listener thread and the station threads
    // 0..stationCount-1 (at most kMaxStations). False, with nothing started,
    // when the main port cannot be opened or the link already runs.
    [[nodiscard]] bool start(int stationCount);
    // Tells the listener and every station thread to stop and waits for them.
    // A station whose connection is up is sent "SERVERDOWN" first.
    void stop();
    bool isRunning() const;
    // The main port actually bound (useful when the settings asked for port 0).
    std::uint16_t mainPort() const;

    // The stations that may connect without the cafe's key, by address (when
    // the link has a key; without one every station may). Any time.
    void setKeylessStations(std::vector<platform::Ipv4Address> addresses);
    // Who was turned away since the last call, each address and reason once a run.
    std::vector<LinkRefusal> takeRefusals();
    // Whether station i's owner has its setup open ("SETUP BEGUN"), as far as
    // its connection told; false once it is gone.
    bool stationInSetup(int i) const;
    // What station i's last handshake spoke.
    StationKeying stationKeying(int i) const;

    // Starts station i's thread (after a station was added or re-addressed).
    // Returns when it runs; false when it already ran or could not start.
    [[nodiscard]] bool startStationWorker(int i);
    // Reports Disconnected to the console, stops station i's thread and
    // waits until it has ended (sending "SERVERDOWN" if connected).
    void stopStationWorker(int i);
    // stopStationWorker then startStationWorker.
    [[nodiscard]] bool restartStation(int i);
    // Number of station threads running; isStationRunning tells which.
    int runningStations() const;
    bool isStationRunning(int i) const;

    // Posts the commands into station i's MailboxWord, with LinkState::Starting
    // for Unlock and LinkState::Stopping for Lock, and tells the listener.
    // Commands posted together go together.
    void sendStationCommand(int i, Commands commands);
    // Stores the figures for station i and posts Command::SessionInfo.
    void sendSessionInfo(int i, const SessionInfoRecord& record);

    // True once per batch of new events for station i (resets the station's
    // event-for-console signal). The events themselves are in the MailboxWord.
    bool takeEventForConsole(int i);
    // Waits up to `timeout` for station i's event-for-console signal without
    // taking it (for programs that would rather sleep than poll).
    bool waitEventForConsole(int i, std::chrono::milliseconds timeout) const;
    // Locked access to station i's MailboxWord for as long as the object lives.
    MailboxAccess lockMailbox(int i);
    // The start time carried by station i's last "STARTED" message (0 when none).
    std::time_t stationStartTime(int i) const;
    // The session stamp ("%Y%m%d%H%M%S") of a "STARTED" from station i that has
    // come since the last call, or nullopt: tells a station's report of its own
    // session from the confirmation of the console's UNLOCK.
    std::optional<std::string> takeReportedStamp(int i);
    // The command station i was sent and has not answered for longer than the
    // answer wait, or nullopt. It is still awaited.
    std::optional<Command> lateCommand(int i) const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace stationlink
