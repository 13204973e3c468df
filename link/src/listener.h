#pragma once
// The listener thread's work: answers CONNECT on the main port by handing the
// connection to the named station's thread, moves posted commands from each
// MailboxWord to its LinkWord, and moves raised events back. A caller is served
// over TLS when it opens with it and the link has the cafe's key, or plainly
// when it speaks without a key and may; anyone else is closed and reported.

#include "link/channel.h"
#include "link/link_settings.h"
#include "refusal_log.h"
#include "slot_table.h"
#include "station_directory.h"

#include "platform/event.h"
#include "platform/tcp_socket.h"

#include <chrono>
#include <deque>
#include <string>

namespace stationlink {

class Listener {
public:
    Listener(platform::TcpSocket mainPort, SlotTable& slots, const StationDirectory& directory,
             const LinkSettings& settings, RefusalLog& refusals, platform::ManualResetEvent& stop);

    // Runs until the stop event is set.
    void run();

private:
    using Clock = std::chrono::steady_clock;

    // A main-port connection that has not sent its CONNECT yet.
    struct Caller {
        platform::TcpSocket socket; // until its first byte tells what it speaks
        Channel channel;            // from then on
        platform::Ipv4Address peer;
        Clock::time_point deadline;
        std::string received; // the start of its CONNECT, when it came in pieces
    };

    void wait();
    void relayCommands();
    void acceptCallers();
    void serviceCallers();
    // Reads a caller once and answers its CONNECT once it is whole; false
    // (socket closed) when the caller is done with: it spoke, went away or ran
    // out of time.
    bool readCaller(Caller& caller);
    // Takes the caller's socket into a plain or TLS channel by its first
    // byte; false when it must go (closed, or turned away and reported).
    bool openChannel(Caller& caller);
    void refuse(Caller& caller, LinkRefusal::Reason reason);
    void refuseOtherClaim(const Caller& caller);
    void answerConnect(Caller& caller);
    void relayEvents();

    platform::TcpSocket mainPort_;
    SlotTable& slots_;
    const StationDirectory& directory_;
    const LinkSettings& settings_;
    RefusalLog& refusals_;
    platform::ManualResetEvent& stop_;
    std::deque<Caller> callers_;
};

} // namespace stationlink
