#include "link_server_console_link.h"

#include "link/link_server.h"

namespace console {

void LinkServerConsoleLink::sendStationCommand(int i, stationlink::Commands commands)
{
    server_.sendStationCommand(i, commands);
}

void LinkServerConsoleLink::sendSessionInfo(int i, const stationlink::SessionInfoRecord& record)
{
    server_.sendSessionInfo(i, record);
}

bool LinkServerConsoleLink::takeEventForConsole(int i) { return server_.takeEventForConsole(i); }

void LinkServerConsoleLink::withMailbox(int i, const std::function<void(stationlink::MailboxWord& word)>& use)
{
    // The lock goes first, then the guard's count: messages held back under it
    // are shown only once the station's word is free again.
    ModalGuard::MailboxLock held(guard_);
    stationlink::MailboxAccess mailbox = server_.lockMailbox(i);
    use(mailbox.word());
}

std::optional<std::string> LinkServerConsoleLink::takeReportedStamp(int i) { return server_.takeReportedStamp(i); }

std::optional<stationlink::Command> LinkServerConsoleLink::lateCommand(int i) const { return server_.lateCommand(i); }

bool LinkServerConsoleLink::stationInSetup(int i) const { return server_.stationInSetup(i); }

} // namespace console
