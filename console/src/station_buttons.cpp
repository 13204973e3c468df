#include "station_buttons.h"

#include "console/bill_panel.h"
#include "station_board.h"
#include "console/texts.h"

#include "link/station_words.h"

namespace console {

StationButtons::StationButtons(StationBoard& board, BillPanel& panel, WindowControls& window)
    : board_(board), panel_(panel), window_(window)
{
}

bool StationButtons::holdsSessionWhileAway(int i) const
{
    return board_.isPhase(i, Phase::Disconnected) && board_.mailboxWord(i).has(stationlink::LinkState::Session);
}

bool StationButtons::waitsToStartWhileAway(int i) const
{
    using namespace stationlink;
    const MailboxWord word = board_.mailboxWord(i);
    return board_.isPhase(i, Phase::Disconnected) && word.has(LinkState::Starting) && !word.has(LinkState::Session);
}

void StationButtons::refreshStationButtons()
{
    const StationTable& table = board_.table();
    const std::vector<int> selected = table.selectedRows();
    const bool any = !selected.empty();
    bool allStarted = any;
    bool allStopped = any;
    bool allStoppable = any;
    bool swapBlocked = false;
    int lastStarted = 0;
    for (int i : selected) {
        const bool started = table.hasPhase(i, Phase::Started);
        const bool stopped = table.hasPhase(i, Phase::Stopped);
        if (!started)
            allStarted = false;
        if (!stopped)
            allStopped = false;
        // Rows still waiting for their station to confirm a Start or a Swap
        // can be stopped too, so that the operator is never stuck with them.
        if (!started && !table.hasPhase(i, Phase::Starting) && !table.hasPhase(i, Phase::Swapping) &&
            !holdsSessionWhileAway(i) && !waitsToStartWhileAway(i))
            allStoppable = false;
        if (started)
            lastStarted = i + 1;
        if (table.hasPhase(i, Phase::Disconnected) || table.hasPhase(i, Phase::Swapping))
            swapBlocked = true;
    }
    stopEnabled_ = allStoppable;
    startEnabled_ = allStopped;
    swapEnabled_ = selected.size() == 2 && !allStarted && !allStopped && !swapBlocked;

    int remembered = lastStarted;
    if (selected.size() != 1 || allStopped) {
        remembered = 0;
        window_.billButtonEnabled = !panel_.walkInBeingEntered();
    } else {
        const int n = selected.front() + 1;
        window_.billButtonEnabled = !(n == panel_.displayedStation() && panel_.walkInBeingEntered());
    }
    panel_.setRememberedStation(remembered);
    // Enter belongs to a field that takes input (the tender or a quantity), or
    // to CHARGE once the tender was checked: a station event must not turn it
    // into Start or Bill under the operator's hands.
    if (window_.inInputField())
        return;
    if (window_.defaultButton == DefaultButton::Charge &&
        window_.expectedFocus().control == FocusTarget::Control::ChargeButton)
        return;
    window_.defaultButton = allStopped ? DefaultButton::Start : DefaultButton::Bill;
}

void StationButtons::onTableFocusLost()
{
    startEnabled_ = false;
    stopEnabled_ = false;
}

DefaultButton StationButtons::effectiveDefault() const
{
    switch (window_.defaultButton) {
    case DefaultButton::Start:
        return startEnabled_ ? DefaultButton::Start : DefaultButton::None;
    case DefaultButton::Bill:
        return window_.billButtonEnabled ? DefaultButton::Bill : DefaultButton::None;
    case DefaultButton::Charge:
        // CHARGE stays the default after a charge; while the next bill shows its
        // item panel (or none is left) the button is hidden.
        return panel_.chargeShown() ? DefaultButton::Charge : DefaultButton::None;
    case DefaultButton::None:
        break;
    }
    return DefaultButton::None;
}

void StationButtons::describe(StationButtonsView& view) const
{
    view.start.enabled = startEnabled_;
    view.stop.enabled = stopEnabled_;
    view.swap.enabled = swapEnabled_;
    view.bill.enabled = window_.billButtonEnabled;
}

} // namespace console
