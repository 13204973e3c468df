#pragma once
// The console's side of a station's events, for the link's tests and bench:
// waits for flags in the station's MailboxWord and takes them out the way the
// console's event poll does. Called from the test's (the console's) thread.

#include "link/link_server.h"

#include <chrono>

namespace stationlink::test {

// Waits up to `patience` until station i's MailboxWord holds `events`, then
// takes them out; false when they never came. Sleeps on the station's
// event-for-console signal at most `slice` at a time.
inline bool takeConsoleEvent(LinkServer& link, int i, StationEvents events, std::chrono::milliseconds patience,
                             std::chrono::milliseconds slice)
{
    auto deadline = std::chrono::steady_clock::now() + patience;
    while (std::chrono::steady_clock::now() < deadline) {
        {
            MailboxAccess mailbox = link.lockMailbox(i);
            if (mailbox.word().holds(events)) {
                mailbox.word().take(events);
                return true;
            }
        }
        link.waitEventForConsole(i, slice);
        link.takeEventForConsole(i);
    }
    return false;
}

} // namespace stationlink::test
