#pragma once
// The 100 ms event poll: takes the events the link delivered into each
// station's MailboxWord and turns them into row states, bills and log lines.
// Window thread only.

#include <string>

namespace console {

class SessionCloser;
struct StationState;
class StationBoard;
class StationButtons;

class EventPoll {
public:
    EventPoll(StationBoard& board, StationButtons& buttons, SessionCloser& closer);

    // Every row with an event waiting.
    void run();

private:
    void pollStation(int i);
    // Logs "STAMP REFUSED,i,stamp".
    void refuseStamp(int i, const std::string& stamp);
    bool reclaimable(const StationState& state, const std::string& stamp) const;

    StationBoard& board_;
    StationButtons& buttons_;
    SessionCloser& closer_;
};

} // namespace console
