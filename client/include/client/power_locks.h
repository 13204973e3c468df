#pragma once
// What the station holds against the machine's own power handling: while
// locked, the power, suspend and hibernate keys do nothing; during a session
// a shutdown waits until the station has told the console "STOP". The engine
// says what it wants after every change of state; an implementation acts
// only on changes. One owner thread (the window thread).

namespace client {

class PowerLocks {
public:
    virtual ~PowerLocks() = default;
    virtual void hold(bool powerKeys, bool shutdownDelay) = 0;
    // True once for each announced shutdown.
    virtual bool shutdownAnnounced() = 0;
};

} // namespace client
