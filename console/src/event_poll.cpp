#include "event_poll.h"

#include "console/money_text.h"
#include "console/texts.h"
#include "link/link_bits.h"
#include "link/protocol.h"
#include "platform/clock.h"
#include "session_closer.h"
#include "station_board.h"
#include "station_buttons.h"
#include "store/activity_log.h"

#include <optional>
#include <string>

namespace console {

using namespace stationlink;

namespace {

constexpr std::uint32_t kStartedBit = EVT_STARTED & ~LINK_PENDING;
constexpr std::uint32_t kStoppedBit = EVT_STOPPED & ~LINK_PENDING;
constexpr std::uint32_t kDisconnectedBit = EVT_DISCONNECTED & ~LINK_PENDING;
constexpr std::uint32_t kConnectedBit = EVT_CONNECTED & ~LINK_PENDING;
// Bits other than the console's state bits and the two unused top bits.
constexpr std::uint32_t kFlagBits = 0xFFFF3FF0;
// Event bits (and anything above 16 bits) that call for another pass.
constexpr std::uint32_t kEventBits = 0xFFFF0780;
// The oldest session a station may reclaim.
constexpr std::time_t kLongestReclaim = 24 * 60 * 60;

} // namespace

EventPoll::EventPoll(StationBoard& board, StationButtons& buttons, SessionCloser& closer)
    : board_(board), buttons_(buttons), closer_(closer)
{
}

void EventPoll::run()
{
    // Every row is looked at, not only those of running station threads: a
    // station whose worker was just stopped still has its "Disconnected" to report.
    for (int i = 0; i < board_.stationCount(); ++i)
        if (board_.link().takeEventForConsole(i))
            pollStation(i);
}

void EventPoll::pollStation(int i)
{
    StationTable& table = board_.table();
    StationState& state = board_.station(i);
    bool refresh = false;
    bool lockWanted = false;

    board_.link().withMailbox(i, [&](std::uint32_t& word) {
        for (;;) {
            std::uint32_t handled = 0;
            // The word cannot tell in which order a STOPPED and a STARTED came.
            // While the console holds no session for the station, the STOPPED
            // came first: it answered a LOCK sent before (the one a station gets
            // as it connects, or after a refused stamp), and taken second it
            // would end the session the STARTED begins.
            const bool stoppedCameFirst = (word & kStoppedBit) != 0 && (word & LINK_SESSION) == 0;
            if ((word & kStartedBit) && !stoppedCameFirst) {
                const std::optional<std::string> stamp = board_.link().takeReportedStamp(i);
                board_.logStation("STARTED", i);
                if ((word & (LINK_SESSION | LINK_STARTING)) != 0) {
                    // The console's own session: its start stands whatever the
                    // station says. A different stamp is refused and the station
                    // locked; the session then ends, billed from its real start.
                    if (stamp && *stamp != formatSessionStamp(state.startTime)) {
                        refuseStamp(i, *stamp);
                        lockWanted = true;
                    }
                    state.swapTarget = false; // a swap, if any, is complete
                    if (word & LINK_STARTING) {
                        word &= ~LINK_STARTING;
                        state.swapHold = false;
                    }
                    table.setText(i, Column::Status, std::string(kStatusStarted));
                    table.setText(i, Column::Start, startClockText(state.startTime));
                    word |= LINK_SESSION;
                } else if (stamp && !state.billedWhileAway && reclaimable(state, *stamp)) {
                    // A session the console does not hold (it restarted without
                    // it): taken up from the station's stamp.
                    state.startTime = *parseSessionStamp(*stamp);
                    state.swapTarget = false;
                    table.setText(i, Column::Status, std::string(kStatusStarted));
                    table.setText(i, Column::Start, startClockText(state.startTime));
                    word |= LINK_SESSION;
                } else {
                    // Nothing the console holds: a session already billed, moved
                    // away or given up, a forged stamp, or an UNLOCK's late
                    // answer. The station is locked and the row stays idle; its
                    // STOPPED then makes no bill.
                    if (stamp)
                        refuseStamp(i, *stamp);
                    state.billedWhileAway = false;
                    state.swapHold = true;
                    board_.resetToStopped(i);
                    lockWanted = true;
                }
                refresh = true;
                handled = EVT_STARTED;
            } else if (word & kStoppedBit) {
                board_.logStation("STOPPED", i);
                const bool session = (word & LINK_SESSION) != 0 || table.hasStatus(i, kStatusStarted);
                if (state.swapHold) {
                    state.swapHold = false;
                    state.billedWhileAway = false; // locked now
                    word &= ~LINK_STOPPING;
                    board_.resetToStopped(i);
                } else if (!session) {
                    // A STOP from a station that runs no session (its desktop
                    // session ending while locked, say) has nothing to bill. When
                    // it answers the console's LOCK, the station is locked now;
                    // a Start pressed after that LOCK is still on its way.
                    if (word & LINK_STOPPING)
                        state.billedWhileAway = false;
                    word &= ~LINK_STOPPING;
                    if ((word & LINK_STARTING) == 0)
                        board_.resetToStopped(i);
                } else {
                    // Stopped by the operator or an alarm: billed up to the moment
                    // the LOCK was sent, however late the station answered it.
                    // Stopped by the station itself: up to now. The station is
                    // locked either way (a "STOP" it says does not prove it).
                    const bool ordered = (word & LINK_STOPPING) != 0;
                    // An UNLOCK the LOCK took back will not be confirmed.
                    word &= ~(LINK_STOPPING | LINK_STARTING);
                    if (ordered && state.stopTime >= state.startTime && state.stopTime < board_.clock().now())
                        closer_.closeSessionUpTo(i, state.stopTime);
                    else
                        closer_.closeSession(i);
                    if (!ordered)
                        lockWanted = true;
                }
                refresh = true;
                word &= ~LINK_SESSION;
                if (state.alarmArmed())
                    board_.disarmAlarm(i);
                handled = EVT_STOPPED;
            }

            if (word & kDisconnectedBit) {
                board_.logStation("DISCONNECTED", i);
                table.setText(i, Column::Status, std::string(kStatusDisconnected));
                // Commands on their way wait for the station's next connection.
                word &= ~LINK_CONNECTED;
                state.connected = false;
                handled |= EVT_DISCONNECTED;
            } else if (word & kConnectedBit) {
                board_.logStation("CONNECTED", i);
                const bool session = (word & LINK_SESSION) != 0;
                state.connected = true;
                word |= LINK_CONNECTED;
                if (session) {
                    table.setText(i, Column::Status, std::string(kStatusStarted));
                    // The UNLOCK goes out with the session figures of the next tick,
                    // which "?" forces; not when a LOCK is on its way to end the session.
                    if ((word & LINK_STOPPING) == 0)
                        word |= CMD_UNLOCK | LINK_STARTING;
                    table.setText(i, Column::Duration, std::string(kUnknownDuration));
                } else if (word & LINK_STARTING) {
                    // A Start still on its way goes out now.
                    table.setText(i, Column::Status, std::string(kStatusStarting));
                } else if (!table.hasStatus(i, kStatusSwapping)) {
                    // The console holds no session for the station and it has
                    // reclaimed none: whatever left it unlocked (a lost command, a
                    // console that was not this one), it is locked now.
                    board_.resetToStopped(i);
                    lockWanted = true;
                }
                handled |= EVT_CONNECTED;
            }

            word &= ~handled;
            if ((word & kFlagBits) == 0) {
                word &= kSurvivingBits;
                break;
            }
            // Nothing handled in this pass means nothing more can be: leave the
            // remaining bits rather than loop on a bit no step knows.
            if ((word & kEventBits) == 0 || handled == 0)
                break;
            word |= LINK_PENDING;
        }
        // A LOCK already on its way does the locking; a second one could lock a
        // session started after it.
        if (word & LINK_STOPPING)
            lockWanted = false;
    });

    if (lockWanted)
        board_.sendStationCommand(i, CMD_LOCK);
    if (refresh)
        buttons_.refreshStationButtons();
}

void EventPoll::refuseStamp(int i, const std::string& stamp)
{
    board_.log().writeLogLine("STAMP REFUSED," + std::to_string(i) + "," + stamp);
}

// A station's own stamp starts a session only when it is a real moment no
// later than now, at most a day old, and after the last session the console
// counted on the station.
bool EventPoll::reclaimable(const StationState& state, const std::string& stamp) const
{
    const std::optional<std::time_t> start = parseSessionStamp(stamp);
    const std::time_t now = board_.clock().now();
    return start && *start <= now && now - *start <= kLongestReclaim && *start > state.lastSessionEnd;
}

} // namespace console
