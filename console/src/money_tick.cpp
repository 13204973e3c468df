#include "money_tick.h"

#include "console/bill_panel.h"
#include "console/print_job_source.h"
#include "console/texts.h"
#include "link/station_words.h"
#include "platform/clock.h"
#include "session_closer.h"
#include "station_board.h"
#include "store/rate_table.h"

namespace console {

MoneyTick::MoneyTick(StationBoard& board, BillPanel& panel, const store::RateTable& rates, SessionCloser& closer)
    : board_(board), panel_(panel), rates_(rates), closer_(closer)
{
}

void MoneyTick::run()
{
    StationTable& table = board_.table();
    for (int i = 0; i < table.rowCount(); ++i)
        noteLateCommand(i);
    for (int i = 0; i < table.rowCount(); ++i) {
        if (!table.hasPhase(i, Phase::Started))
            continue;
        const std::int32_t elapsed = board_.elapsedSeconds(i);
        const ShownMoney charge(store::ComputeAccessCharge(rates_.rows(), elapsed));
        RowState& row = table.state(i);
        const bool minuteChanged = !row.duration.showsMinuteOf(elapsed);
        const bool chargeChanged = charge != row.accessCost;
        row.duration = ShownDuration::of(elapsed);
        row.accessCost = charge;
        if (minuteChanged || chargeChanged)
            board_.sendSessionInfo(i);
    }

    if (board_.alarmCount() > 0) {
        const std::time_t now = board_.clock().now();
        for (int i = 0; i < table.rowCount(); ++i) {
            const StationState& state = board_.station(i);
            if (!state.alarmArmed() || state.alarmTime > now)
                continue;
            // Disarmed first: a message box the log line might raise lets the
            // timers run again, and the alarm must not fire twice.
            board_.disarmAlarm(i);
            board_.logStation("ALARM STOPPING", i);
            board_.sendStationCommand(i, stationlink::Command::Lock);
        }
    }

    // Each job is priced now; its line waits while a dialog is up. The monitor
    // is told the job was taken only once the charge is on disk.
    if (printJobs_ != nullptr)
        for (const PrintJobRecord& job : printJobs_->takeFinishedJobs()) {
            takenPrintJobs_.push_back(job.key);
            if (chargedBeforeRestart_.contains(job.key))
                continue;
            if (auto charge = panel_.pricePrintJob(job))
                closer_.holdWork(*charge);
        }
}

// A command the station has not answered is still awaited: the row says so,
// so that "Start sent, station not answering" never looks like a session.
void MoneyTick::noteLateCommand(int i)
{
    using namespace stationlink;
    std::string note;
    if (board_.link().lateCommand(i)) {
        // The note names what the operator ordered, which may wait behind the
        // late command (the session figures, say).
        const MailboxWord word = board_.mailboxWord(i);
        if (word.has(LinkState::Stopping))
            note = std::string(kStopNotAnsweredNote);
        else if (word.has(LinkState::Starting))
            note = std::string(kStartNotAnsweredNote);
        else
            note = std::string(kNotAnsweringNote);
    } else if (board_.link().stationInSetup(i)) {
        note = std::string(kSetupOpenNote);
    }
    board_.table().setNote(i, std::move(note));
}

void MoneyTick::confirmTakenPrintJobs()
{
    if (printJobs_ == nullptr || takenPrintJobs_.empty())
        return;
    // Jobs charged before a restart stay known for this run: one the monitor had
    // already found again before it heard of the confirmation is still skipped.
    printJobs_->confirmTaken(takenPrintJobs_);
    takenPrintJobs_.clear();
}

void MoneyTick::restoreTakenPrintJobs(const std::vector<std::string>& keys)
{
    chargedBeforeRestart_.insert(keys.begin(), keys.end());
    takenPrintJobs_.insert(takenPrintJobs_.end(), keys.begin(), keys.end());
}

} // namespace console
