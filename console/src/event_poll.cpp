#include "event_poll.h"

#include "console/money_text.h"
#include "console/texts.h"
#include "link/station_words.h"
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

// The oldest session a station may reclaim.
constexpr std::time_t kLongestReclaim = std::time_t{24} * 60 * 60;

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

    board_.link().withMailbox(i, [&](MailboxWord& word) {
        for (;;) {
            const StationEvents events = word.events();
            StationEvents handled;
            // The word cannot tell in which order a STOPPED and a STARTED came.
            // While the console holds no session for the station, the STOPPED
            // came first: it answered a LOCK sent before (the one a station gets
            // as it connects, or after a refused stamp), and taken second it
            // would end the session the STARTED begins.
            const bool stoppedCameFirst = events.has(Event::Stopped) && !word.has(LinkState::Session);
            if (events.has(Event::Started) && !stoppedCameFirst) {
                const std::optional<std::string> stamp = board_.link().takeReportedStamp(i);
                board_.logStation("STARTED", i);
                if (word.has(LinkState::Session) || word.has(LinkState::Starting)) {
                    // The console's own session: its start stands whatever the
                    // station says. A different stamp is refused and the station
                    // locked; the session then ends, billed from its real start.
                    if (stamp && *stamp != formatSessionStamp(state.startTime)) {
                        refuseStamp(i, *stamp);
                        lockWanted = true;
                    }
                    state.holds.clear(Hold::SwapArriving); // a swap, if any, is complete
                    if (word.has(LinkState::Starting)) {
                        word.clear(LinkState::Starting);
                        state.holds.clear(Hold::UnbilledStop);
                    }
                    table.setPhase(i, Phase::Started);
                    table.state(i).start = state.startTime;
                    word.set(LinkState::Session);
                } else if (stamp && !state.holds.has(Hold::SessionSettled) && reclaimable(state, *stamp)) {
                    // A session the console does not hold (it restarted without
                    // it): taken up from the station's stamp.
                    state.startTime = *parseSessionStamp(*stamp);
                    state.holds.clear(Hold::SwapArriving);
                    table.setPhase(i, Phase::Started);
                    table.state(i).start = state.startTime;
                    word.set(LinkState::Session);
                } else {
                    // Nothing the console holds: a session already billed, moved
                    // away or given up, a forged stamp, or an UNLOCK's late
                    // answer. The station is locked and the row stays idle; its
                    // STOPPED then makes no bill.
                    if (stamp)
                        refuseStamp(i, *stamp);
                    state.holds.clear(Hold::SessionSettled);
                    state.holds.set(Hold::UnbilledStop);
                    board_.resetToStopped(i);
                    lockWanted = true;
                }
                refresh = true;
                handled = Event::Started;
            } else if (events.has(Event::Stopped)) {
                board_.logStation("STOPPED", i);
                const bool session = word.has(LinkState::Session) || table.hasPhase(i, Phase::Started);
                if (state.holds.has(Hold::UnbilledStop)) {
                    state.holds.clear(Hold::UnbilledStop | Hold::SessionSettled); // locked now
                    word.clear(LinkState::Stopping);
                    board_.resetToStopped(i);
                } else if (!session) {
                    // A STOP from a station that runs no session (its desktop
                    // session ending while locked, say) has nothing to bill. When
                    // it answers the console's LOCK, the station is locked now;
                    // a Start pressed after that LOCK is still on its way.
                    if (word.has(LinkState::Stopping))
                        state.holds.clear(Hold::SessionSettled);
                    word.clear(LinkState::Stopping);
                    if (!word.has(LinkState::Starting))
                        board_.resetToStopped(i);
                } else {
                    // Stopped by the operator or an alarm: billed up to the moment
                    // the LOCK was sent, however late the station answered it.
                    // Stopped by the station itself: up to now. The station is
                    // locked either way (a "STOP" it says does not prove it).
                    const bool ordered = word.has(LinkState::Stopping);
                    // An UNLOCK the LOCK took back will not be confirmed.
                    word.clear(LinkState::Stopping | LinkState::Starting);
                    if (ordered && state.stopTime >= state.startTime && state.stopTime < board_.clock().now())
                        closer_.closeSessionUpTo(i, state.stopTime);
                    else
                        closer_.closeSession(i);
                    if (!ordered)
                        lockWanted = true;
                }
                refresh = true;
                word.clear(LinkState::Session);
                if (state.alarmArmed())
                    board_.disarmAlarm(i);
                handled = Event::Stopped;
            }

            if (events.has(Event::Disconnected)) {
                board_.logStation("DISCONNECTED", i);
                table.setPhase(i, Phase::Disconnected);
                // Commands on their way wait for the station's next connection.
                word.clear(LinkState::Connected);
                state.connected = false;
                handled |= Event::Disconnected;
            } else if (events.has(Event::Connected)) {
                board_.logStation("CONNECTED", i);
                const bool session = word.has(LinkState::Session);
                state.connected = true;
                word.set(LinkState::Connected);
                if (session) {
                    table.setPhase(i, Phase::Started);
                    // The UNLOCK goes out with the session figures of the next tick,
                    // which "?" forces; not when a LOCK is on its way to end the session.
                    if (!word.has(LinkState::Stopping)) {
                        word.post(Command::Unlock);
                        word.set(LinkState::Starting);
                    }
                    table.state(i).duration = ShownDuration::unknown();
                } else if (word.has(LinkState::Starting)) {
                    // A Start still on its way goes out now.
                    table.setPhase(i, Phase::Starting);
                } else if (!table.hasPhase(i, Phase::Swapping)) {
                    // The console holds no session for the station and it has
                    // reclaimed none: whatever left it unlocked (a lost command, a
                    // console that was not this one), it is locked now.
                    board_.resetToStopped(i);
                    lockWanted = true;
                }
                handled |= Event::Connected;
            }

            if (!word.takeHandled(handled))
                break;
        }
        // A LOCK already on its way does the locking; a second one could lock a
        // session started after it.
        if (word.has(LinkState::Stopping))
            lockWanted = false;
    });

    if (lockWanted)
        board_.sendStationCommand(i, Command::Lock);
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
