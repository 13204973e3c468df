#include "console/console_engine.h"
#include "console/journal_events.h"

#include "console/bill_panel.h"
#include "console/print_monitor_control.h"
#include "console/station_table.h"
#include "console/texts.h"

#include "console/configuration/configuration_dialog_model.h"
#include "first_run_writer.h"
#include "folder_guard.h"
#include "guarded_services.h"
#include "link/station_words.h"
#include "link/link_server.h"
#include "link/link_security.h"
#include "link_keys.h"
#include "link_server_console_link.h"
#include "modal_guard.h"
#include "open_state_keeper.h"
#include "platform/clock.h"
#include "session_operations.h"
#include "station_board.h"
#include "station_buttons.h"
#include "store/activity_log.h"
#include "store/bill_journal.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/printer_table.h"
#include "store/rate_table.h"
#include "store/sale_item_table.h"
#include "window_controls.h"

namespace console {

namespace {

// The sync that ends each timer pass. A refused sync is not shown: the lines
// are written, only their flush to the disk failed; the next pass that writes
// a line syncs again, and a failure of the close's own sync is logged.
void syncLog(store::ActivityLog& log) { (void)log.sync(); }

} // namespace

struct ConsoleEngine::Impl {
    Impl(ConsoleSettings settingsIn, const platform::Clock& clockIn, ConsoleServices servicesIn,
         configuration::StationWorkers& workers, configuration::StationKeyRegister& keyRegister);

    void syncStationAddresses();
    void openKeys();
    void logRefusals();
    void applyConfigurationEffects(const std::string& printServerBefore, bool printersBefore);
    void followStationCount();
    // The print monitor on the configured print server, its jobs going to the
    // money tick; and stopped again, when it runs.
    void startPrintMonitor();
    void stopPrintMonitor();
    // The end of the console: the link stops, then the print monitor, then the
    // files are closed.
    void shutDown();
    void closeFiles();
    // The money state to BriskoOpen after each action and timer pass.
    void keepState();

    ConsoleSettings settings;
    const platform::Clock& clock;
    ConsoleServices services;
    ModalGuard guard;
    GuardedServices guarded; // every dialog the engine opens goes through it

    store::ActivityLog log;
    store::BillJournal journal;
    store::Configuration configuration;
    store::ClientTable clients;
    store::PrinterTable printers;
    store::SaleItemTable saleItems;
    store::RateTable rates;
    LinkKeys keys;

    stationlink::LinkServer link;
    LinkServerConsoleLink consoleLink;
    WindowControls window;
    StationBoard board;
    BillPanel panel;
    StationButtons buttons;
    SessionOperations sessions;
    OpenStateKeeper keeper;
    std::unique_ptr<configuration::ConfigurationDialogModel> configurationDialog;
    std::vector<platform::Ipv4Address> knocking; // turned away, listed for no station

    bool filesOpen = false;
    bool printMonitorRunning = false;
    bool addressesChanged = false;
    bool ended = false;
};

ConsoleEngine::Impl::Impl(ConsoleSettings settingsIn, const platform::Clock& clockIn, ConsoleServices servicesIn,
                          configuration::StationWorkers& workers, configuration::StationKeyRegister& keyRegister)
    : settings(std::move(settingsIn)),
      clock(clockIn),
      services(servicesIn),
      guarded(servicesIn, guard),
      log(settings.folder, clockIn, guarded),
      journal(settings.folder, clockIn, guarded),
      configuration(settings.folder, guarded),
      clients(settings.folder, guarded),
      printers(settings.folder),
      saleItems(settings.folder),
      rates(settings.folder),
      keys(settings.folder),
      link(settings.link),
      consoleLink(link, guard),
      board(consoleLink, log, clockIn),
      panel(BillPanelContext{board, log, saleItems, printers, clients, configuration, journal, window, guarded, guarded,
                             servicesIn.beeper, guarded, guard, keeper}),
      buttons(board, panel, window),
      sessions(board, panel, buttons, window, rates, guard),
      keeper(settings.folder, guarded, board, panel, sessions, journal),
      configurationDialog(std::make_unique<configuration::ConfigurationDialogModel>(
          configuration, [this] { return journal.dayTotal(); },
          configuration::ConsoleTables{clients, saleItems, printers, rates}, workers, guarded, &keyRegister))
{
}

ConsoleEngine::ConsoleEngine(ConsoleSettings settings, const platform::Clock& clock, ConsoleServices services)
    : impl_(std::make_unique<Impl>(std::move(settings), clock, services, *this, *this))
{
    impl_->guard.setAfterWork([this] { impl_->keepState(); });
    impl_->configurationDialog->setAuditLog([this](const std::string& event) { impl_->log.writeLogLine(event); });
}

ConsoleEngine::~ConsoleEngine()
{
    if (!impl_->ended)
        impl_->shutDown();
}

// --- start-up -----------------------------------------------------------------------

ConsoleEngine::StartResult ConsoleEngine::startUp()
{
    if (!openFiles())
        return StartResult::AlreadyRunning;
    if (!checkOperatorPassword()) {
        impl_->closeFiles();
        impl_->ended = true;
        return StartResult::WrongPassword;
    }
    impl_->log.writeLogLine(consoleStartedEvent());
    // A station-less console is what the operator was told of; it runs on.
    startStations();
    return StartResult::Running;
}

bool ConsoleEngine::openFiles()
{
    Impl& m = *impl_;
    if (consoleFilesHeldElsewhere(m.settings.folder)) {
        m.guarded.showMessage(std::string(kAlreadyRunningMessage));
        m.ended = true;
        return false;
    }
    // What the machine's administrator looks for goes to the system's log too.
    m.log.setMirror([](const std::string& line) {
        if (auto level = journalLevelOf(line))
            platform::writeSystemJournal("brisko", *level, line);
    });
    // A log or journal that cannot be opened was shown to the operator by the
    // file; the console runs on as the operator was told.
    m.log.open();
    m.journal.open();
    m.keeper.open(); // without its file the console runs on without keeping
    // A table that cannot be read is silent and starts empty; the configuration
    // dialog's pages read it again when they open.
    (void)m.configuration.load();
    (void)m.clients.load();
    (void)m.printers.load();
    (void)m.saleItems.load();
    (void)m.rates.load();
    m.openKeys();
    m.filesOpen = true;
    return true;
}

bool ConsoleEngine::checkOperatorPassword()
{
    Impl& m = *impl_;
    // A new cafe's password is empty, which nobody could guess from the box.
    std::string hint;
    if (m.configuration.verifyOperatorPassword(""))
        hint = configuration::FirstRunSetup::wanted(true, m.clients.stationCount(), m.rates.rows().size())
                   ? kNoPasswordYetHint
                   : kNoPasswordSetHint;
    const bool passed = m.configuration.verifyOperatorPassword(m.guarded.askPassword(hint));
    m.guard.settle();
    if (passed)
        return true;
    m.services.beeper.beep();
    // The console ends: the operator is told why, and an owner locked out by a
    // damaged file how to get back in.
    if (m.configuration.isLoaded() && !m.configuration.passwordRecord().isValid()) {
        m.log.writeLogLine("PASSWORD REFUSED,BriskoConfig is damaged");
        m.guarded.showMessage(damagedConfigurationMessage(m.settings.folder.string()));
    } else {
        m.log.writeLogLine("PASSWORD REFUSED,wrong password");
        m.guarded.showMessage(std::string(kWrongPasswordMessage));
    }
    (void)m.log.sync();
    return false;
}

bool ConsoleEngine::firstRunWanted()
{
    Impl& m = *impl_;
    return m.filesOpen && configuration::FirstRunSetup::wanted(m.configuration.verifyOperatorPassword(""),
                                                               m.clients.stationCount(), m.rates.rows().size());
}

std::vector<platform::Ipv4Address> ConsoleEngine::stationsKnocking() const
{
    const Impl& m = *impl_;
    std::vector<platform::Ipv4Address> left;
    for (const auto& address : m.knocking)
        if (store::findStationByAddress(m.clients.entries(), address) < 0)
            left.push_back(address);
    return left;
}

bool ConsoleEngine::applyFirstRun(const configuration::FirstRunSetup& setup)
{
    Impl& m = *impl_;
    const bool written = writeFirstRunSetup(setup, {m.configuration, m.clients, m.rates, *this,
                                                    [&m](const std::string& event) { m.log.writeLogLine(event); }});
    (void)m.log.sync();
    if (!written)
        m.guarded.showMessage(kNotSavedMessage);
    return written;
}

bool ConsoleEngine::startStations()
{
    Impl& m = *impl_;
    // Rows first: a row's initialisation empties its MailboxWord, which must not
    // wipe out an event of a station that connected at once.
    m.board.resizeTo(m.clients.stationCount());
    m.keeper.restore();
    if (!m.printers.entries().empty() && m.services.printMonitor != nullptr) {
        m.startPrintMonitor();
        m.sessions.confirmTakenPrintJobs(); // those kept before a restart are on disk already
    }
    m.syncStationAddresses();
    if (!m.link.start(m.clients.stationCount())) {
        m.guarded.showMessage(cannotListenMessage(m.settings.link.port));
        return false;
    }
    return true;
}

void ConsoleEngine::Impl::openKeys()
{
    switch (keys.open(settings.makeKey)) {
    case LinkKeys::Opened::Made:
        log.writeLogLine("CAFE KEY MADE,");
        break;
    case LinkKeys::Opened::Damaged:
        guarded.showMessage(damagedKeyMessage(kKeyFileName, keys.problem()));
        break;
    case LinkKeys::Opened::Read:
    case LinkKeys::Opened::Missing:
        break;
    }
    link.setKey(keys.linkKey());
    link.setKeylessStations(keys.keyless());
}

// Stations the link turned away, each address and reason once a run.
void ConsoleEngine::Impl::logRefusals()
{
    for (const stationlink::LinkRefusal& refusal : link.takeRefusals()) {
        log.writeLogLine("LINK REFUSED," + refusal.address.toString() + "," + stationlink::describeRefusal(refusal));
        const bool listed = store::findStationByAddress(clients.entries(), refusal.address) >= 0;
        const bool known = std::find(knocking.begin(), knocking.end(), refusal.address) != knocking.end();
        if (!listed && !known && knocking.size() < static_cast<std::size_t>(kMaxStations))
            knocking.push_back(refusal.address);
    }
}

void ConsoleEngine::Impl::keepState()
{
    // A failed write was shown by the file; the next change tries again.
    keeper.keep();
}

void ConsoleEngine::Impl::syncStationAddresses()
{
    std::vector<platform::Ipv4Address> addresses;
    for (const store::ClientEntry& entry : clients.entries())
        addresses.push_back(entry.address);
    link.setStationAddresses(std::move(addresses));
    addressesChanged = false;
}

void ConsoleEngine::Impl::startPrintMonitor()
{
    services.printMonitor->start(printers.printServerName());
    printMonitorRunning = true;
    sessions.setPrintJobSource(services.printMonitor);
}

void ConsoleEngine::Impl::stopPrintMonitor()
{
    if (!printMonitorRunning)
        return;
    services.printMonitor->stop();
    printMonitorRunning = false;
}

// --- exit ---------------------------------------------------------------------------------

bool ConsoleEngine::requestExit()
{
    Impl& m = *impl_;
    if (m.ended)
        return true;
    for (;;) {
        const std::size_t unpaid = m.panel.openBills().size();
        const bool yes = m.guarded.askYesNo(exitQuestion(unpaid));
        // Sessions that ended while the question was up are billed now.
        m.guard.settle();
        if (!yes)
            return false;
        // The warning counted fewer unpaid bills than there are now: ask again.
        if (m.panel.openBills().size() <= unpaid)
            break;
    }
    m.shutDown();
    return true;
}

bool ConsoleEngine::hasEnded() const { return impl_->ended; }

void ConsoleEngine::Impl::shutDown()
{
    link.stop();
    stopPrintMonitor();
    // Only into a log still open: the end is no time to tell the operator of a failing one.
    if (filesOpen && log.isOpen())
        log.writeLogLine(kConsoleEndedEvent);
    closeFiles();
    ended = true;
}

void ConsoleEngine::Impl::closeFiles()
{
    if (!filesOpen)
        return;
    keepState();
    keeper.close();
    journal.close();
    clients.close();
    printers.close();
    saleItems.close();
    rates.close();
    configuration.close();
    log.close();
    filesOpen = false;
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
    Impl& m = *impl_;
    m.guard.settle();
    if (m.addressesChanged)
        m.syncStationAddresses();
    m.sessions.eventPoll();
    m.board.followSetups();
    m.logRefusals();
    m.guard.settle();
    m.keepState();
    syncLog(m.log);
}

void ConsoleEngine::moneyTick()
{
    Impl& m = *impl_;
    m.guard.settle();
    m.sessions.moneyTick();
    m.guard.settle();
    if (m.keeper.keep())
        m.sessions.confirmTakenPrintJobs();
    syncLog(m.log);
}

// --- station table ------------------------------------------------------------------------------

const StationTable& ConsoleEngine::stationTable() const { return impl_->board.table(); }

const StationState& ConsoleEngine::stationState(int i) const { return impl_->board.station(i); }

void ConsoleEngine::onStationSelectionChanged(const std::vector<int>& rows)
{
    impl_->board.table().selectOnly(rows);
    impl_->buttons.refreshStationButtons();
}

void ConsoleEngine::onStationTableFocus(bool gained)
{
    if (gained) {
        impl_->window.focusReported({FocusTarget::Control::StationTable, 0});
        impl_->buttons.refreshStationButtons();
    } else {
        impl_->buttons.onTableFocusLost();
    }
}

void ConsoleEngine::onStartPressed()
{
    impl_->sessions.onStartPressed();
    impl_->keepState();
}

void ConsoleEngine::onStopPressed()
{
    impl_->sessions.onStopPressed();
    impl_->keepState();
}

void ConsoleEngine::onSwapPressed()
{
    impl_->sessions.onSwapPressed();
    impl_->buttons.refreshStationButtons();
    impl_->keepState();
}

void ConsoleEngine::onAlarmSelected(int choice)
{
    impl_->sessions.onAlarmSelected(choice);
    impl_->keepState();
}

void ConsoleEngine::onBillPressed() { impl_->panel.onBillPressed(); }

// --- keys ------------------------------------------------------------------------------------------

void ConsoleEngine::onEnter()
{
    // The tender and quantity fields take Enter themselves: one Enter there is
    // one tender check (or one quantity), whatever button was the default.
    if (impl_->window.inInputField()) {
        onOkAction();
        return;
    }
    switch (impl_->buttons.effectiveDefault()) {
    case DefaultButton::Start:
        onStartPressed();
        break;
    case DefaultButton::Bill:
        onBillPressed();
        break;
    case DefaultButton::Charge:
        // A bill that could not be charged stays on display; the operator sees why.
        impl_->panel.onChargePressed();
        break;
    case DefaultButton::None:
        onOkAction();
        break;
    }
}

void ConsoleEngine::onFocusChanged(FocusTarget focus) { impl_->window.focusReported(focus); }

void ConsoleEngine::onOkAction()
{
    const FocusTarget::Control where = impl_->window.expectedFocus().control;
    if (where == FocusTarget::Control::TenderField)
        impl_->panel.onTenderCheck();
    else if (where == FocusTarget::Control::QuantityField)
        impl_->panel.onQuantityEnter();
}

// --- bill panel and the files the configuration dialog edits ---------------------------------------

BillPanel& ConsoleEngine::billPanel() { return impl_->panel; }
const BillPanel& ConsoleEngine::billPanel() const { return impl_->panel; }
store::ActivityLog& ConsoleEngine::activityLog() { return impl_->log; }
store::Configuration& ConsoleEngine::configuration() { return impl_->configuration; }
store::BillJournal& ConsoleEngine::journal() { return impl_->journal; }
store::ClientTable& ConsoleEngine::clients() { return impl_->clients; }
store::SaleItemTable& ConsoleEngine::saleItems() { return impl_->saleItems; }
store::PrinterTable& ConsoleEngine::printers() { return impl_->printers; }
store::RateTable& ConsoleEngine::rates() { return impl_->rates; }
configuration::ConfigurationDialogModel& ConsoleEngine::configurationDialog() { return *impl_->configurationDialog; }
stationlink::LinkServer& ConsoleEngine::link() { return impl_->link; }

// --- configuration ---------------------------------------------------------------------------------

void ConsoleEngine::onConfigurationPressed()
{
    Impl& m = *impl_;
    const bool passed = m.configuration.verifyOperatorPassword(m.guarded.askPassword(""));
    m.guard.settle();
    if (!passed) {
        m.services.beeper.beep();
        return;
    }
    const std::string printServerBefore = m.printers.printServerName();
    const bool printersBefore = !m.printers.entries().empty();

    configuration::ConfigurationDialogModel& dialog = *m.configurationDialog;
    const std::string code = m.keys.code();
    dialog.setCafeKeyText(code.empty() ? kNoCafeKeyText : code);
    dialog.open();
    m.guarded.showConfiguration(dialog);
    if (dialog.isOpen())
        dialog.cancel();
    // Bills of sessions that ended meanwhile, before rows follow the new station count.
    m.guard.settle();

    if (dialog.result() == configuration::ConfigurationDialogModel::Result::Ok) {
        const configuration::ClientCommand command = dialog.clientCommand();
        if (command != configuration::ClientCommand::None) {
            const stationlink::Command sent = command == configuration::ClientCommand::Quit
                                                  ? stationlink::Command::Quit
                                                  : stationlink::Command::Shutdown;
            for (int i : m.board.table().selectedRows())
                if (m.board.mailboxWord(i).has(stationlink::LinkState::Connected))
                    m.board.sendStationCommand(i, sent);
        }
    }
    m.applyConfigurationEffects(printServerBefore, printersBefore);
    m.keepState();
}

void ConsoleEngine::Impl::applyConfigurationEffects(const std::string& printServerBefore, bool printersBefore)
{
    // The monitor restarts when the server changed, and also starts or stops
    // when the first printer was added or the last one removed.
    const bool printersNow = !printers.entries().empty();
    const bool changed = printers.printServerName() != printServerBefore || printersNow != printersBefore;
    if (changed && services.printMonitor != nullptr) {
        stopPrintMonitor();
        if (printersNow)
            startPrintMonitor();
    }
    panel.rebuildItemPanel();
    syncStationAddresses();
    followStationCount();
}

// Rows follow the number of stations. A removed station's running session is
// closed and billed first, so that its time is not lost with its row.
void ConsoleEngine::Impl::followStationCount()
{
    const int wanted = std::min(clients.stationCount(), kMaxStations);
    if (wanted < board.stationCount()) {
        sessions.eventPoll();
        for (int i = board.stationCount() - 1; i >= wanted; --i)
            sessions.closeSessionOfRemovedStation(i);
    }
    board.resizeTo(wanted);
    buttons.refreshStationButtons();
}

// --- station workers --------------------------------------------------------------------------------

void ConsoleEngine::startStationWorker(int i)
{
    if (i < 0 || i >= kMaxStations)
        return;
    Impl& m = *impl_;
    // A station added on the Clients page gets its row before its worker runs,
    // so that the row sees the station's first events.
    if (i >= m.board.stationCount())
        m.board.resizeTo(i + 1);
    m.syncStationAddresses();
    m.addressesChanged = true; // the page writes the new address after this call
    // A worker that runs already goes on; one that cannot start leaves its
    // station "Disconnected", which its row shows.
    (void)m.link.startStationWorker(i);
}

void ConsoleEngine::stopStationWorker(int i)
{
    if (i < 0 || i >= kMaxStations)
        return;
    impl_->link.stopStationWorker(i);
    impl_->addressesChanged = true;
}

void ConsoleEngine::clientTableChanged() { impl_->syncStationAddresses(); }

bool ConsoleEngine::stationBusy(int i) const
{
    const StationBoard& board = impl_->board;
    if (i < 0 || i >= board.stationCount())
        return false;
    const StationState& state = board.station(i);
    return state.holds.has(Hold::OpenBill) || state.sessionBill.open || state.sessionBill.owner != -1 ||
           !(board.isPhase(i, Phase::Stopped) || board.isPhase(i, Phase::Disconnected));
}

// --- the cafe's key ------------------------------------------------------------------------------

bool ConsoleEngine::hasKey() const { return impl_->keys.hasKey(); }

configuration::StationKeyRegister::Keying ConsoleEngine::keying(int index) const
{
    switch (impl_->link.stationKeying(index)) {
    case stationlink::StationKeying::Keyed:
        return Keying::Keyed;
    case stationlink::StationKeying::Keyless:
        return Keying::Keyless;
    case stationlink::StationKeying::Unknown:
        break;
    }
    return Keying::Unknown;
}

bool ConsoleEngine::keylessAllowed(platform::Ipv4Address address) const { return impl_->keys.allowsKeyless(address); }

bool ConsoleEngine::allowKeyless(platform::Ipv4Address address, bool allowed)
{
    Impl& m = *impl_;
    const bool kept = m.keys.setKeylessAllowed(address, allowed);
    m.link.setKeylessStations(m.keys.keyless());
    if (kept)
        m.log.writeLogLine(std::string(allowed ? "KEYLESS ALLOWED," : "KEYLESS REFUSED,") + address.toString());
    return kept;
}

// --- view ---------------------------------------------------------------------------------------------

ConsoleView ConsoleEngine::view() const
{
    ConsoleView view;
    impl_->buttons.describe(view.buttons);
    impl_->panel.describe(view.bill);
    view.focus = impl_->window.focus;
    view.focusRequest = impl_->window.focusRequest;
    view.focusRequestSerial = impl_->window.focusRequestSerial;
    view.defaultButton = impl_->buttons.effectiveDefault();
    return view;
}

} // namespace console
