#pragma once
// Start, Stop, Swap and Bill follow the selection in the station table.

#include "console/console_view.h"
#include "window_controls.h"

namespace console {

class BillPanel;
class StationBoard;

class StationButtons {
public:
    StationButtons(StationBoard& board, BillPanel& panel, WindowControls& window);

    // Runs when the selection changes, when the table is clicked or gets the
    // focus, after Start and after STARTED and STOPPED events.
    void refreshStationButtons();
    // The table lost the focus: Start and Stop are disabled.
    void onTableFocusLost();
    void disableSwap() { swapEnabled_ = false; }
    // The push button Enter presses now: the default one while it is enabled
    // and shown, else None (Enter then runs the OK action).
    DefaultButton effectiveDefault() const;

    bool startEnabled() const { return startEnabled_; }
    bool stopEnabled() const { return stopEnabled_; }
    bool swapEnabled() const { return swapEnabled_; }

    // A session whose station went away: the row reads "Disconnected" but the
    // console still counts the session (LinkState::Session), so the operator can stop
    // and bill it.
    bool holdsSessionWhileAway(int i) const;
    // A Start was pressed for the station, which went away before it confirmed:
    // the UNLOCK waits for it, and Stop gives the Start up.
    bool waitsToStartWhileAway(int i) const;

    void describe(StationButtonsView& view) const;

private:
    StationBoard& board_;
    BillPanel& panel_;
    WindowControls& window_;
    bool startEnabled_ = false;
    bool stopEnabled_ = false;
    bool swapEnabled_ = false;
};

} // namespace console
