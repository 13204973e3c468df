#pragma once
// The one-second money tick: running durations and charges, the session
// figures the stations show, alarms, and finished print jobs taken from the
// print monitor, which it tells of each job once its charge is on disk.
// Window thread only.

#include <set>
#include <string>
#include <vector>

namespace store {
class RateTable;
}

namespace console {

class BillPanel;
class PrintJobSource;
class SessionCloser;
class StationBoard;

class MoneyTick {
public:
    MoneyTick(StationBoard& board, BillPanel& panel, const store::RateTable& rates, SessionCloser& closer);

    // The print monitor's hand-over (none by default).
    void setPrintJobSource(PrintJobSource* source) { printJobs_ = source; }

    void run();

    // Keys of print jobs taken and charged but not yet confirmed to the print
    // monitor; confirmed once they are on disk.
    const std::vector<std::string>& takenPrintJobs() const { return takenPrintJobs_; }
    void confirmTakenPrintJobs();
    // Jobs charged before a restart: handed over again, they are not charged again.
    void restoreTakenPrintJobs(const std::vector<std::string>& keys);

private:
    void noteLateCommand(int i);

    StationBoard& board_;
    BillPanel& panel_;
    const store::RateTable& rates_;
    SessionCloser& closer_;
    PrintJobSource* printJobs_ = nullptr;
    std::vector<std::string> takenPrintJobs_;
    std::set<std::string> chargedBeforeRestart_;
};

} // namespace console
