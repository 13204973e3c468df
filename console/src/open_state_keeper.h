#pragma once
// Keeps the console's money state in "BriskoOpen" and puts it back after a
// restart: the unpaid bills, each station's running session (start, money
// columns, alarm, open-bill mark), the bills of stations stopped together
// still waiting for members, and bill work held back by a dialog.
//
// After restore(), keep() writes the state whenever it changed; the engine
// calls it at the end of each operator action and timer, the bill panel after
// its own changes, and the charge asks beforeCharge() first, so that a crash
// at any moment finds on disk what the operator last saw. Before restore()
// nothing is written, so a console that ends at its password prompt leaves
// the file as it was.
//
// Restoring: a session whose station comes back with its stamp goes on as
// after a link loss; one whose station stays away counts on as a
// "Disconnected" session the operator can stop and bill. A session whose stop
// was sent but not confirmed is billed up to the stop, and one whose alarm
// fell due while the console was down is stopped and billed up to the alarm.
//
// Window thread only.

#include "money_keeper.h"

#include "store/open_state.h"
#include "store/open_state_file.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>

namespace store {
class BillJournal;
class StoreNotifier;
} // namespace store

namespace console {

class BillPanel;
class SessionOperations;
class StationBoard;

class OpenStateKeeper final : public MoneyKeeper {
public:
    OpenStateKeeper(const std::filesystem::path& folder, store::StoreNotifier& notifier, StationBoard& board,
                    BillPanel& panel, SessionOperations& sessions, store::BillJournal& journal);

    // Opens and reads the file; false (the operator was told) when it cannot
    // be opened: the console then runs without keeping its state.
    bool open();
    // Puts the kept state into the table (which has its rows), the sessions and
    // the bill panel, and starts keeping. The link must not be running yet.
    void restore();
    // Writes the state when it changed since the last write. True when the
    // file holds the state now; a failed write has told the operator.
    bool keep();
    void close();

    // A failed write was shown by the file; the next change tries again.
    void moneyChanged() override { (void)keep(); }
    bool beforeCharge(int index, std::uint64_t journalOffset) override;
    void afterCharge() override { charging_.reset(); }

    // The state as it would be written now.
    store::OpenState capture() const;

private:
    void restoreStation(const store::KeptStation& kept);
    void closeUnconfirmedStops(const store::OpenState& kept);

    store::OpenStateFile file_;
    StationBoard& board_;
    BillPanel& panel_;
    SessionOperations& sessions_;
    store::BillJournal& journal_;
    bool keeping_ = false;
    struct Charging {
        int index;
        std::uint64_t journalOffset;
    };
    std::optional<Charging> charging_;
    std::map<int, double> paidOpenBills_; // station index -> total, during restore()
};

} // namespace console
