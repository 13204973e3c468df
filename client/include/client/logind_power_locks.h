#pragma once
// PowerLocks through systemd-logind's inhibitor locks. Where logind does not
// run, the station log says so in one line and the station goes on without
// them; a lock that logind refuses is logged once as well. One owner thread.

#include "client/client_log.h"
#include "client/power_locks.h"
#include "platform/logind_locks.h"

namespace client {

class LogindPowerLocks final : public PowerLocks {
public:
    explicit LogindPowerLocks(ClientLog& log) : log_(log) {}

    void hold(bool powerKeys, bool shutdownDelay) override;
    bool shutdownAnnounced() override;
    // The bus descriptor to wake on, -1 without logind.
    int descriptor() const { return locks_.descriptor(); }

private:
    bool ready();
    void set(platform::LogindLocks::Lock lock, bool held, const char* why);

    ClientLog& log_;
    platform::LogindLocks locks_;
    bool tried_ = false;
    bool refusalLogged_ = false;
};

} // namespace client
