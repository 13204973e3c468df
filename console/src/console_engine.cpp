#include "console/console_engine.h"

#include "console/folder_guard.h"
#include "console/print_monitor_control.h"
#include "console/texts.h"

#include "link/link_bits.h"
#include "platform/clock.h"

namespace console {

ConsoleEngine::ConsoleEngine(ConsoleSettings settings, const platform::Clock& clock, ConsoleServices services)
    : settings_(std::move(settings)),
      clock_(clock),
      services_(services),
      guarded_(services, guard_),
      log_(settings_.folder, clock, guarded_),
      journal_(settings_.folder, clock, guarded_),
      configuration_(settings_.folder, guarded_),
      clients_(settings_.folder, guarded_),
      printers_(settings_.folder),
      saleItems_(settings_.folder),
      rates_(settings_.folder),
      link_(settings_.link),
      consoleLink_(link_, guard_),
      board_(consoleLink_, log_, clock),
      panel_(BillPanelContext{board_, log_, saleItems_, printers_, clients_, configuration_, journal_, window_,
                              guarded_, guarded_, services.beeper, guard_, keeper_}),
      buttons_(board_, panel_, window_),
      sessions_(board_, panel_, buttons_, window_, rates_, guard_),
      keeper_(settings_.folder, guarded_, board_, panel_, sessions_, journal_),
      configurationDialog_(std::make_unique<pages::ConfigurationDialogModel>(
          configuration_, journal_, pages::ConsoleTables{clients_, saleItems_, printers_, rates_}, *this,
          guarded_))
{
    guard_.setAfterWork([this] { (void)keeper_.keep(); });
}

ConsoleEngine::~ConsoleEngine()
{
    if (ended_)
        return;
    link_.stop();
    if (printMonitorRunning_)
        services_.printMonitor->stop();
    closeFiles();
}

// --- start-up -----------------------------------------------------------------------

ConsoleEngine::StartResult ConsoleEngine::startUp()
{
    if (!openFiles())
        return StartResult::AlreadyRunning;
    if (!checkOperatorPassword()) {
        closeFiles();
        ended_ = true;
        return StartResult::WrongPassword;
    }
    startStations();
    return StartResult::Running;
}

bool ConsoleEngine::openFiles()
{
    if (consoleFilesHeldElsewhere(settings_.folder)) {
        guarded_.showMessage(std::string(kAlreadyRunningMessage));
        ended_ = true;
        return false;
    }
    log_.open();
    journal_.open();
    (void)keeper_.open(); // the operator was told; the console runs on without keeping
    configuration_.load();
    clients_.load();
    printers_.load();
    saleItems_.load();
    rates_.load();
    filesOpen_ = true;
    return true;
}

bool ConsoleEngine::checkOperatorPassword()
{
    const bool passed = configuration_.VerifyOperatorPassword(guarded_.askPassword());
    guard_.settle();
    if (passed)
        return true;
    services_.beeper.beep();
    return false;
}

bool ConsoleEngine::startStations()
{
    // Rows first: a row's initialisation empties its MailboxWord, which must not
    // wipe out an event of a station that connected at once.
    board_.resizeTo(clients_.StationCount());
    keeper_.restore();
    if (!printers_.entries().empty() && services_.printMonitor != nullptr) {
        services_.printMonitor->start(printers_.PrintServerName());
        printMonitorRunning_ = true;
        sessions_.setPrintJobSource(services_.printMonitor);
        sessions_.confirmTakenPrintJobs(); // those kept before a restart are on disk already
    }
    syncStationAddresses();
    if (!link_.start(clients_.StationCount())) {
        guarded_.showMessage("Brisko cannot listen for stations on port " +
                                      std::to_string(settings_.link.port) +
                                      " (is another program using it?). Stations cannot connect.");
        return false;
    }
    return true;
}

void ConsoleEngine::syncStationAddresses()
{
    std::vector<platform::Ipv4Address> addresses;
    for (const store::ClientEntry& entry : clients_.entries())
        addresses.push_back(entry.address);
    link_.setStationAddresses(std::move(addresses));
    addressesChanged_ = false;
}

// --- exit ---------------------------------------------------------------------------------

bool ConsoleEngine::requestExit()
{
    if (ended_)
        return true;
    for (;;) {
        const std::size_t unpaid = panel_.openBills().size();
        const bool yes = guarded_.askYesNo(exitQuestion(unpaid));
        // Sessions that ended while the question was up are billed now.
        guard_.settle();
        if (!yes)
            return false;
        // The warning counted fewer unpaid bills than there are now: ask again.
        if (panel_.openBills().size() <= unpaid)
            break;
    }
    link_.stop();
    if (printMonitorRunning_) {
        services_.printMonitor->stop();
        printMonitorRunning_ = false;
    }
    closeFiles();
    ended_ = true;
    return true;
}

void ConsoleEngine::closeFiles()
{
    if (!filesOpen_)
        return;
    (void)keeper_.keep();
    keeper_.close();
    journal_.close();
    clients_.close();
    printers_.close();
    saleItems_.close();
    rates_.close();
    configuration_.close();
    log_.close();
    filesOpen_ = false;
}

// --- timers ---------------------------------------------------------------------------------

// Each timer pass ends with one sync of the activity log for all the lines it
// (and the operator's actions since the last pass) wrote.
//
// Called again from under a dialog the engine opened, a pass keeps the table
// current and leaves the bills to the guard; a pass with no dialog up first runs
// the bill work a dialog held back.
void ConsoleEngine::eventPoll()
{
    guard_.settle();
    if (addressesChanged_)
        syncStationAddresses();
    sessions_.eventPoll();
    guard_.settle();
    (void)keeper_.keep();
    log_.sync();
}

void ConsoleEngine::moneyTick()
{
    guard_.settle();
    sessions_.moneyTick();
    guard_.settle();
    if (keeper_.keep())
        sessions_.confirmTakenPrintJobs();
    log_.sync();
}

// --- station table ------------------------------------------------------------------------------

void ConsoleEngine::onStationSelectionChanged(const std::vector<int>& rows)
{
    board_.table().selectOnly(rows);
    buttons_.RefreshStationButtons();
}

void ConsoleEngine::onStationTableFocus(bool gained)
{
    if (gained) {
        window_.focusReported({FocusTarget::Control::StationTable, 0});
        buttons_.RefreshStationButtons();
    } else {
        buttons_.onTableFocusLost();
    }
}

void ConsoleEngine::onStartPressed()
{
    sessions_.onStartPressed();
    (void)keeper_.keep();
}

void ConsoleEngine::onStopPressed()
{
    sessions_.onStopPressed();
    (void)keeper_.keep();
}

void ConsoleEngine::onSwapPressed()
{
    sessions_.onSwapPressed();
    buttons_.RefreshStationButtons();
    (void)keeper_.keep();
}

// --- keys ------------------------------------------------------------------------------------------

void ConsoleEngine::onEnter()
{
    // The tender and quantity fields take Enter themselves: one Enter there is
    // one tender check (or one quantity), whatever button was the default.
    if (window_.inInputField()) {
        onOkAction();
        return;
    }
    switch (buttons_.effectiveDefault()) {
    case DefaultButton::Start:
        onStartPressed();
        break;
    case DefaultButton::Bill:
        onBillPressed();
        break;
    case DefaultButton::Charge:
        panel_.ChargeBill();
        break;
    case DefaultButton::None:
        onOkAction();
        break;
    }
}

void ConsoleEngine::onFocusChanged(FocusTarget focus)
{
    window_.focusReported(focus);
}

void ConsoleEngine::onOkAction()
{
    const FocusTarget::Control where = window_.expectedFocus().control;
    if (where == FocusTarget::Control::TenderField)
        panel_.onTenderCheck();
    else if (where == FocusTarget::Control::QuantityField)
        panel_.onQuantityEnter();
}

// --- configuration ---------------------------------------------------------------------------------

void ConsoleEngine::onConfigurationPressed()
{
    const bool passed = configuration_.VerifyOperatorPassword(guarded_.askPassword());
    guard_.settle();
    if (!passed) {
        services_.beeper.beep();
        return;
    }
    const std::string printServerBefore = printers_.PrintServerName();
    const bool printersBefore = !printers_.entries().empty();

    pages::ConfigurationDialogModel& dialog = *configurationDialog_;
    dialog.open();
    guarded_.showConfiguration(dialog);
    if (dialog.isOpen())
        dialog.cancel();
    // Bills of sessions that ended meanwhile, before rows follow the new station count.
    guard_.settle();

    if (dialog.result() == pages::ConfigurationDialogModel::Result::Ok) {
        const pages::ClientCommand command = dialog.clientCommand();
        if (command != pages::ClientCommand::None) {
            const std::uint32_t bits =
                command == pages::ClientCommand::Quit ? stationlink::CMD_QUIT : stationlink::CMD_SHUTDOWN;
            for (int i : board_.table().selectedRows())
                if (board_.mailboxWord(i) & stationlink::LINK_CONNECTED)
                    board_.SendStationCommand(i, bits);
        }
    }
    applyConfigurationEffects(printServerBefore, printersBefore);
    (void)keeper_.keep();
}

void ConsoleEngine::applyConfigurationEffects(const std::string& printServerBefore, bool printersBefore)
{
    // The monitor restarts when the server changed, and also starts or stops
    // when the first printer was added or the last one removed.
    const bool printersNow = !printers_.entries().empty();
    const bool changed = printers_.PrintServerName() != printServerBefore || printersNow != printersBefore;
    if (changed && services_.printMonitor != nullptr) {
        if (printMonitorRunning_) {
            services_.printMonitor->stop();
            printMonitorRunning_ = false;
        }
        if (printersNow) {
            services_.printMonitor->start(printers_.PrintServerName());
            printMonitorRunning_ = true;
            sessions_.setPrintJobSource(services_.printMonitor);
        }
    }
    panel_.rebuildItemPanel();
    syncStationAddresses();
    followStationCount();
}

// Rows follow the number of stations. A removed station's running session is
// closed and billed first, so that its time is not lost with its row.
void ConsoleEngine::followStationCount()
{
    const int wanted = std::min(clients_.StationCount(), kMaxStations);
    if (wanted < board_.stationCount()) {
        sessions_.eventPoll();
        for (int i = board_.stationCount() - 1; i >= wanted; --i)
            sessions_.closeSessionOfRemovedStation(i);
    }
    board_.resizeTo(wanted);
    buttons_.RefreshStationButtons();
}

// --- station workers --------------------------------------------------------------------------------

void ConsoleEngine::StartStationWorker(int i, bool /*createEvents: the link makes its own*/)
{
    if (i < 0 || i >= kMaxStations)
        return;
    // A station added on the Clients page gets its row before its worker runs,
    // so that the row sees the station's first events.
    if (i >= board_.stationCount())
        board_.resizeTo(i + 1);
    syncStationAddresses();
    addressesChanged_ = true; // the page writes the new address after this call
    link_.StartStationWorker(i);
}

void ConsoleEngine::StopStationWorker(int i, bool /*releaseEvents*/)
{
    if (i < 0 || i >= kMaxStations)
        return;
    link_.StopStationWorker(i);
    addressesChanged_ = true;
}

// --- view ---------------------------------------------------------------------------------------------

ConsoleView ConsoleEngine::view() const
{
    ConsoleView view;
    buttons_.describe(view.buttons);
    panel_.describe(view.bill);
    view.focus = window_.focus;
    view.focusRequest = window_.focusRequest;
    view.focusRequestSerial = window_.focusRequestSerial;
    view.defaultButton = buttons_.effectiveDefault();
    return view;
}

} // namespace console
