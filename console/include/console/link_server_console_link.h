#pragma once
// The console's view of the real station link.

#include "console/console_link.h"

namespace stationlink {
class LinkServer;
}

namespace console {

class LinkServerConsoleLink final : public ConsoleLink {
public:
    explicit LinkServerConsoleLink(stationlink::LinkServer& server) : server_(server) {}

    void SendStationCommand(int i, std::uint32_t bits) override;
    void SendSessionInfo(int i, const stationlink::SessionInfoRecord& record) override;
    bool takeEventForConsole(int i) override;
    void withMailbox(int i, const std::function<void(std::uint32_t& word)>& use) override;
    std::time_t StationStartTime(int i) const override;

private:
    stationlink::LinkServer& server_;
};

} // namespace console
