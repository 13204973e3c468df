#include "console/link_server_console_link.h"

#include "link/link_server.h"

namespace console {

void LinkServerConsoleLink::SendStationCommand(int i, std::uint32_t bits) { server_.SendStationCommand(i, bits); }

void LinkServerConsoleLink::SendSessionInfo(int i, const stationlink::SessionInfoRecord& record)
{
    server_.SendSessionInfo(i, record);
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

std::time_t LinkServerConsoleLink::StationStartTime(int i) const { return server_.StationStartTime(i); }

} // namespace console
