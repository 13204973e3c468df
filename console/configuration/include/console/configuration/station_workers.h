#pragma once
// Starting and stopping the per-station connection workers. The console engine
// implements it with the real link; the Clients page calls it when stations are
// added, removed or re-addressed. Both worker calls return only when the worker
// has started or ended.

namespace console::configuration {

class StationWorkers {
public:
    virtual ~StationWorkers() = default;
    // Starts station i's worker (the link makes what it needs); one that runs goes on.
    virtual void startStationWorker(int i) = 0;
    // Stops station i's worker (its row turns "Disconnected").
    virtual void stopStationWorker(int i) = 0;
    // The Clients page has changed the ClientTable in memory: a re-addressed
    // station's entry is cleared just before its worker restarts, and Save
    // rebuilds the whole table. The link matches connections against its own
    // copy of the addresses, so the implementation hands it the table's
    // addresses here.
    virtual void clientTableChanged() {}
    // Station i has a session running (or waiting to be billed) or an open
    // bill: removing or re-addressing it now would bill it behind the
    // operator's back and leave its PC unlocked, so the page refuses.
    virtual bool stationBusy(int /*i*/) const { return false; }
};

} // namespace console::configuration
