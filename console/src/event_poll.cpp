#include "event_poll.h"

#include "console/money_text.h"
#include "console/texts.h"
#include "link/link_bits.h"
#include "platform/clock.h"
#include "session_closer.h"
#include "station_board.h"
#include "station_buttons.h"

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
    bool lockPosted = false;

    board_.link().withMailbox(i, [&](std::uint32_t& word) {
        for (;;) {
            std::uint32_t handled = 0;
            if ((word & kStartedBit) && !(word & LINK_STARTING) && state.billedWhileAway) {
                // The station comes back with a session the operator already
                // billed while it was away (or confirms a start the operator gave
                // up on): it is locked, the row stays idle, and its STOPPED makes
                // no second bill. A LOCK still on its way (LINK_STOPPING) does the
                // locking; a second one could lock a session started after it.
                board_.logStation("STARTED", i);
                state.billedWhileAway = false;
                state.swapHold = true;
                board_.resetToStopped(i);
                lockPosted = (word & LINK_STOPPING) == 0;
                refresh = true;
                handled = EVT_STARTED;
            } else if (word & kStartedBit) {
                board_.logStation("STARTED", i);
                state.swapTarget = false; // a swap, if any, is complete
                if (word & LINK_STARTING) {
                    word &= ~LINK_STARTING;
                    state.swapHold = false;
                } else {
                    state.startTime = board_.link().stationStartTime(i);
                }
                table.setText(i, Column::Status, std::string(kStatusStarted));
                table.setText(i, Column::Start, startClockText(state.startTime));
                word |= LINK_SESSION;
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
                    // it answers the console's LOCK, the station is locked now.
                    if (word & LINK_STOPPING)
                        state.billedWhileAway = false;
                    word &= ~LINK_STOPPING;
                    board_.resetToStopped(i);
                } else {
                    word &= ~LINK_STOPPING;
                    closer_.closeSession(i);
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
                // A LOCK still on its way went with the connection.
                word &= ~(LINK_CONNECTED | LINK_STOPPING);
                handled |= EVT_DISCONNECTED;
            } else if (word & kConnectedBit) {
                board_.logStation("CONNECTED", i);
                const bool session = (word & LINK_SESSION) != 0;
                if (session)
                    table.setText(i, Column::Status, std::string(kStatusStarted));
                else
                    board_.resetToStopped(i); // no start time left over from an unconfirmed Start
                word |= LINK_CONNECTED;
                if (session) {
                    // The UNLOCK goes out with the session figures of the next tick,
                    // which "?" forces.
                    word |= CMD_UNLOCK | LINK_STARTING;
                    table.setText(i, Column::Duration, std::string(kUnknownDuration));
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
    });

    if (lockPosted)
        board_.sendStationCommand(i, CMD_LOCK);
    if (refresh)
        buttons_.refreshStationButtons();
}

} // namespace console
