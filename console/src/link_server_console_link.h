#pragma once
// The console's view of the real station link. Holding a mailbox lock counts
// for the ModalGuard, so that no dialog opens while the lock is held.

#include "console_link.h"
#include "modal_guard.h"

namespace stationlink {
class LinkServer;
}

namespace console {

class LinkServerConsoleLink final : public ConsoleLink {
public:
    LinkServerConsoleLink(stationlink::LinkServer& server, ModalGuard& guard) : server_(server), guard_(guard) {}

    void sendStationCommand(int i, stationlink::Commands commands) override;
    void sendSessionInfo(int i, const stationlink::SessionInfoRecord& record) override;
    bool takeEventForConsole(int i) override;
    void withMailbox(int i, const std::function<void(stationlink::MailboxWord& word)>& use) override;
    std::optional<std::string> takeReportedStamp(int i) override;
    std::optional<stationlink::Command> lateCommand(int i) const override;
    bool stationInSetup(int i) const override;

private:
    stationlink::LinkServer& server_;
    ModalGuard& guard_;
};

} // namespace console
