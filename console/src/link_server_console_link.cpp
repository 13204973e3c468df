#include "link_server_console_link.h"

#include "link/link_server.h"

namespace console {

void LinkServerConsoleLink::sendStationCommand(int i, std::uint32_t bits) { server_.sendStationCommand(i, bits); }

void LinkServerConsoleLink::sendSessionInfo(int i, const stationlink::SessionInfoRecord& record)
{
    server_.sendSessionInfo(i, record);
}

bool LinkServerConsoleLink::takeEventForConsole(int i) { return server_.takeEventForConsole(i); }

void LinkServerConsoleLink::withMailbox(int i, const std::function<void(std::uint32_t& word)>& use)
{
    // The lock goes first, then the guard's count: messages held back under it
    // are shown only once the station's word is free again.
    ModalGuard::MailboxLock held(guard_);
    stationlink::MailboxAccess mailbox = server_.lockMailbox(i);
    use(mailbox.word());
}

std::optional<std::string> LinkServerConsoleLink::takeReportedStamp(int i) { return server_.takeReportedStamp(i); }

std::uint32_t LinkServerConsoleLink::lateCommand(int i) const { return server_.lateCommand(i); }

bool LinkServerConsoleLink::stationInSetup(int i) const { return server_.stationInSetup(i); }

} // namespace console
