#pragma once
// What the console's window thread needs from the station link: posting
// commands and session figures, and taking the events the stations raised out
// of each station's MailboxWord under its lock. The real implementation sits on
// the link's server (link_server_console_link.h).

#include "link/session_info_record.h"
#include "link/station_words.h"

#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace console {

class ConsoleLink {
public:
    virtual ~ConsoleLink() = default;

    // Posts the commands into the station's MailboxWord under its lock (Unlock
    // also sets LinkState::Starting, Lock also LinkState::Stopping) and sets
    // command posted.
    virtual void sendStationCommand(int i, stationlink::Commands commands) = 0;
    // Stores the figures in the station's SessionInfoRecord and posts Command::SessionInfo.
    virtual void sendSessionInfo(int i, const stationlink::SessionInfoRecord& record) = 0;

    // True when the station's event for console was set; resets it.
    virtual bool takeEventForConsole(int i) = 0;
    // Runs `use` on the station's MailboxWord while holding the mailbox lock.
    virtual void withMailbox(int i, const std::function<void(stationlink::MailboxWord& word)>& use) = 0;
    // The session stamp of a STARTED that came since the last call, or nullopt:
    // 14 digits of a valid local time (the link takes no other STARTED).
    virtual std::optional<std::string> takeReportedStamp(int i) = 0;
    // The command the station has not answered for longer than the answer
    // wait, or nullopt.
    virtual std::optional<stationlink::Command> lateCommand(int i) const = 0;
    // Whether the station's owner has its setup open: the station is not locked.
    virtual bool stationInSetup(int i) const = 0;
};

} // namespace console
