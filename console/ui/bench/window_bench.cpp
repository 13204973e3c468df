#include "window_bench.h"

#include "process_status.h"

#include "control_ids.h"

#include "console/bill_panel.h"
#include "console/texts.h"
#include "link/link_server.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <cstdio>

namespace console::ui::bench {

using namespace std::chrono_literals;

namespace {

constexpr auto kSettle = 1500ms; // after the last bill: the polls, the money tick and the paints that follow
constexpr double kStartUpTargetMs = 500.0;
constexpr double kStallTargetMs = 16.0;
constexpr double kMemoryTargetMb = 80.0;

double ms(SteadyClock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
double mb(long kilobytes) { return static_cast<double>(kilobytes) / 1024.0; }

std::string msText(SteadyClock::duration d)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", ms(d));
    return text;
}

std::string longestText(const DeliveryStatistics::Longest& longest)
{
    std::string text = msText(longest.length) + " " + longest.what;
    if (longest.engine && longest.refresh)
        text += ": engine " + msText(*longest.engine) + " + refresh " + msText(*longest.refresh);
    return text;
}

} // namespace

WindowBench::WindowBench(TimedApplication& app, BenchFolder& folder, BenchOptions options, StartMoments moments)
    : app_(app), folder_(folder), options_(options), moments_(moments)
{
    app_.setDeliveryListener([this](const Delivery& delivery) { onDelivery(delivery); });
    app_.setFirstPaintListener([this](QWidget* window, SteadyClock::time_point at) { onFirstPaint(window, at); });
    probe_.setHook([this] { watchModals(); });
    probe_.start();
}

WindowBench::~WindowBench()
{
    // The stations go first: a station whose console has gone keeps trying to reach it.
    fleet_.stop();
    app_.setDeliveryListener({});
    app_.setFirstPaintListener({});
    window_.reset();
}

int WindowBench::run()
{
    if (!startUpWindow())
        return 1;
    startUpRssKb_ = statusKilobytes(0, "VmRSS").value_or(0);
    if (!connectStations())
        return 1;
    for (int r = 0; r < options_.rounds; ++r) {
        Round round;
        if (!startAllSessions())
            return 1;
        runSessions(round);
        if (!stopAllStations(round))
            return 1;
        rounds_.push_back(std::move(round));
        chargeAllBills();
    }
    peakRssKb_ = statusKilobytes(0, "VmHWM").value_or(0);
    report();
    return 0;
}

// --- the stages ----------------------------------------------------------------------------------

bool WindowBench::startUpWindow()
{
    console::ConsoleSettings settings;
    settings.makeKey = false; // the simulated stations hold no key
    settings.folder = folder_.console();
    settings.link.listenAddress = {{127, 0, 0, 1}};
    settings.link.port = 0;
    window_ = std::make_unique<ConsoleWindow>(settings, clock_);
    windowBuilt_ = SteadyClock::now();
    // The password prompt is answered as soon as it has been painted (onFirstPaint).
    const auto result = window_->startUp();
    startedUp_ = SteadyClock::now();
    if (result != console::ConsoleEngine::StartResult::Running) {
        std::fprintf(stderr, "bench_window: the console did not start\n");
        return false;
    }
    window_->show();
    window_->activateWindow();
    if (!waitFor([this] { return windowShown_.has_value(); }, 10s)) {
        std::fprintf(stderr, "bench_window: the window was never painted\n");
        return false;
    }
    table_ = window_->findChild<QTableView*>(QString::number(id::kStationTable));
    start_ = window_->findChild<QPushButton*>(QString::number(id::kStart));
    if (table_ == nullptr || start_ == nullptr)
        return false;
    QObject::connect(table_->model(), &QAbstractItemModel::dataChanged, &probe_, [this] {
        if (app_.delivering() && !refreshFrom_)
            refreshFrom_ = SteadyClock::now();
    });
    return true;
}

bool WindowBench::connectStations()
{
    const auto since = SteadyClock::now();
    const auto program = std::filesystem::read_symlink("/proc/self/exe");
    if (!fleet_.start(program, options_.stations, window_->engine().link().mainPort(), folder_.stations())) {
        std::fprintf(stderr, "bench_window: the station process did not start\n");
        return false;
    }
    if (!waitFor([this] { return allRows(console::Phase::Stopped); }, 60s)) {
        std::fprintf(stderr, "bench_window: not every station connected\n");
        return false;
    }
    connecting_ = SteadyClock::now() - since;
    return true;
}

bool WindowBench::startAllSessions()
{
    table_->setFocus(Qt::OtherFocusReason);
    table_->selectAll();
    if (!waitFor([this] { return start_->isEnabled(); }, 5s)) {
        std::fprintf(stderr, "bench_window: Start stayed disabled with every row selected\n");
        return false;
    }
    start_->click();
    if (!waitFor([this] { return allRows(console::Phase::Started); }, 30s)) {
        std::fprintf(stderr, "bench_window: not every session started\n");
        return false;
    }
    return true;
}

void WindowBench::runSessions(Round& round)
{
    stretch_.reset(SteadyClock::now());
    probe_.beginStretch();
    waitFor([] { return false; }, options_.running);
    round.runningGap = probe_.longestGap();
    round.runningTicks = stretch_.kind(DeliveryKind::MoneyTick);
    round.runningLongest = stretch_.longest();
}

bool WindowBench::stopAllStations(Round& round)
{
    billsWanted_ = window_->engine().billPanel().openBills().size() + static_cast<std::size_t>(options_.stations);
    billsOnPanelAt_.reset();
    billsPaintedAt_.reset();
    billsBefore_ = window_->engine().billPanel().openBills().size();
    mostBillsInOnePoll_ = 0;
    const auto sent = SteadyClock::now();
    stretch_.reset(sent);
    probe_.beginStretch();
    storming_ = true;
    fleet_.send("stop");
    const bool billed = waitFor([this] { return billsOnPanelAt_.has_value(); }, 30s);
    if (billed)
        waitFor([] { return false; }, kSettle);
    storming_ = false;
    round.stormGap = probe_.longestGap();
    round.stormGapAt = probe_.longestGapEnd() - sent;
    round.storm = stretch_;
    round.mostBillsInOnePoll = mostBillsInOnePoll_;

    // The stations' own moments of END SESSION, on the same steady clock.
    const auto answer = fleet_.readLine(5s);
    long long first = 0, last = 0;
    if (!answer || std::sscanf(answer->c_str(), "stopped %lld %lld %d", &first, &last, &round.stationsStopped) != 3) {
        std::fprintf(stderr, "bench_window: the stations did not report their stop\n");
        return false;
    }
    const SteadyClock::time_point firstEnd{std::chrono::nanoseconds(first)};
    round.endSessionSpread = std::chrono::nanoseconds(last - first);
    if (billsOnPanelAt_)
        round.billsOnPanel = *billsOnPanelAt_ - firstEnd;
    if (billsPaintedAt_)
        round.billsPainted = *billsPaintedAt_ - firstEnd;
    round.rssKb = statusKilobytes(0, "VmRSS").value_or(0);
    round.fleetRssKb = statusKilobytes(fleet_.pid(), "VmRSS").value_or(0);
    if (!billed)
        std::fprintf(stderr, "bench_window: only %zu of %zu bills reached the panel\n",
                     window_->engine().billPanel().openBills().size(), billsWanted_);
    return billed;
}

void WindowBench::chargeAllBills()
{
    console::BillPanel& panel = window_->engine().billPanel();
    for (int k = 0; k < 4 * options_.stations && !panel.openBills().empty(); ++k)
        window_->perform([&panel] {
            if (!panel.storedBillDisplayed())
                panel.onSelectorChanged(0);
            panel.chargeBill();
        });
    waitFor([this] { return allRows(console::Phase::Stopped); }, 10s);
}

// --- watching the window thread ----------------------------------------------------------------

bool WindowBench::waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto deadline = SteadyClock::now() + limit;
    while (!done()) {
        if (SteadyClock::now() > deadline)
            return false;
        app_.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void WindowBench::onDelivery(const Delivery& delivery)
{
    stretch_.add(delivery, refreshFrom_);
    refreshFrom_.reset();
    if (!storming_ || !window_)
        return;
    const std::size_t bills = window_->engine().billPanel().openBills().size();
    if (bills > billsBefore_)
        mostBillsInOnePoll_ = std::max(mostBillsInOnePoll_, bills - billsBefore_);
    billsBefore_ = bills;
    if (!billsOnPanelAt_) {
        if (bills >= billsWanted_)
            billsOnPanelAt_ = delivery.end;
    } else if (!billsPaintedAt_ && DeliveryStatistics::kindOf(delivery) == DeliveryKind::Painting) {
        billsPaintedAt_ = delivery.end;
    }
}

void WindowBench::onFirstPaint(QWidget* window, SteadyClock::time_point painted)
{
    if (window_ && window == window_.get()) {
        windowShown_ = painted;
        return;
    }
    // The password prompt at start-up, or a dialog nobody expected: answered at once.
    if (!promptShown_)
        promptShown_ = painted;
    QPointer<QWidget> modal(window);
    QMetaObject::invokeMethod(
        window,
        [this, modal] {
            if (modal)
                answerModal(modal);
        },
        Qt::QueuedConnection);
}

void WindowBench::answerModal(QWidget* modal)
{
    if (!promptAnswered_)
        promptAnswered_ = SteadyClock::now();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        std::fprintf(stderr, "bench_window: message \"%s\" answered\n", box->text().toStdString().c_str());
        if (QAbstractButton* button = box->escapeButton() ? box->escapeButton() : box->defaultButton())
            button->click();
        else
            box->done(0);
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->accept();
    } else {
        modal->close();
    }
}

// A modal dialog that was never painted (or reopened) is answered after a second.
void WindowBench::watchModals()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == window_.get()) {
        modalSince_.reset();
        return;
    }
    if (!modalSince_)
        modalSince_ = SteadyClock::now();
    else if (SteadyClock::now() - *modalSince_ > 1s) {
        modalSince_.reset();
        answerModal(modal);
    }
}

bool WindowBench::allRows(console::Phase phase) const
{
    const console::StationTable& table = window_->engine().stationTable();
    if (table.rowCount() != options_.stations)
        return false;
    for (int i = 0; i < table.rowCount(); ++i)
        if (!table.hasPhase(i, phase))
            return false;
    return true;
}

// --- the figures ------------------------------------------------------------------------------

void WindowBench::report() const
{
    FigureReport report;
    std::printf("bench_window: %d stations on 127.0.0.2 ... 127.0.0.%d, %d rounds of %lld s sessions, Qt platform %s\n",
                options_.stations, options_.stations + 1, options_.rounds,
                static_cast<long long>(options_.running.count()), QApplication::platformName().toStdString().c_str());
    reportStartUp(report);
    reportStorms(report);
    reportMemory(report);
    report.print();
}

void WindowBench::reportStartUp(FigureReport& report) const
{
    report.target("startup_to_shown_ms", ms(*windowShown_ - moments_.exec), kStartUpTargetMs, "ms",
                  "exec of the console process to the end of the window's first paint; "
                  "the password prompt answered as soon as it was painted");
    report.figure("exec_to_main_ms", ms(moments_.main - moments_.exec), "ms", "loading the program and Qt");
    report.figure("qapplication_ms", ms(moments_.appReady - moments_.main), "ms", "QApplication");
    report.figure("window_built_ms", ms(windowBuilt_ - moments_.appReady), "ms", "ConsoleWindow and its engine");
    if (promptShown_ && promptAnswered_) {
        report.figure("to_prompt_painted_ms", ms(*promptShown_ - windowBuilt_), "ms",
                      "data files opened, prompt painted");
        report.figure("prompt_answer_ms", ms(*promptAnswered_ - *promptShown_), "ms", "the benchmark's answer");
        report.figure("after_prompt_ms", ms(startedUp_ - *promptAnswered_), "ms", "listener and station threads");
    }
    report.figure("show_to_painted_ms", ms(*windowShown_ - startedUp_), "ms", "show(), layout, first paint");
    report.figure("stations_connected_ms", ms(connecting_), "ms", "station process started to every row Stopped");
}

void WindowBench::reportStorms(FigureReport& report) const
{
    DeliveryStatistics::Duration worstGap{}, worstDelivery{}, worstBills{};
    for (const Round& round : rounds_) {
        worstGap = std::max(worstGap, round.stormGap);
        worstDelivery = std::max(worstDelivery, round.storm.longest().length);
        worstBills = std::max(worstBills, round.billsOnPanel.value_or(DeliveryStatistics::Duration{}));
    }
    const std::string n = std::to_string(options_.stations);
    report.target("stop_all_stall_ms", ms(worstGap), kStallTargetMs, "ms",
                  "longest gap between runs of a 1 ms probe timer while " + n +
                      " stations end their sessions at once, worst round");
    report.target("stop_all_longest_event_ms", ms(worstDelivery), kStallTargetMs, "ms",
                  "longest single event delivery on the window thread in the same stretch, worst round");
    report.figure("stop_all_bills_on_panel_ms", ms(worstBills), "ms",
                  "first END SESSION at a station to all " + n + " bills in the panel's widgets, worst round");
    for (std::size_t r = 0; r < rounds_.size(); ++r) {
        const Round& round = rounds_[r];
        const auto& polls = round.storm.kind(DeliveryKind::EventPoll);
        const auto& paints = round.storm.kind(DeliveryKind::Painting);
        const auto& layouts = round.storm.kind(DeliveryKind::Layout);
        const auto& ticks = round.storm.kind(DeliveryKind::MoneyTick);
        const auto& others = round.storm.kind(DeliveryKind::Other);
        report.note("round " + std::to_string(r + 1) + ": " + std::to_string(round.stationsStopped) +
                    " END SESSIONs within " + msText(round.endSessionSpread) + ", at most " +
                    std::to_string(round.mostBillsInOnePoll) + " bills from one poll; stall " + msText(round.stormGap) +
                    " ending " + msText(round.stormGapAt) + " after the stop; bills on the panel after " +
                    (round.billsOnPanel ? msText(*round.billsOnPanel) : "-") + ", painted after " +
                    (round.billsPainted ? msText(*round.billsPainted) : "-"));
        report.note("    longest event:    " + longestText(round.storm.longest()));
        report.note("    longest poll:     " + longestText(polls.longest) + "; " + std::to_string(polls.count) +
                    " polls, " + msText(polls.total) + " in all");
        report.note("    longest paint:    " + longestText(paints.longest) + "; " + std::to_string(paints.count) +
                    " paints, " + msText(paints.total) + " in all");
        report.note("    longest layout:   " + longestText(layouts.longest) + "; " + std::to_string(layouts.count) +
                    " layouts, " + msText(layouts.total) + " in all");
        if (ticks.count > 0)
            report.note("    longest tick:     " + longestText(ticks.longest));
        if (others.count > 0)
            report.note("    longest other:    " + longestText(others.longest));
        report.note("    while running:    stall " + msText(round.runningGap) + ", longest event " +
                    longestText(round.runningLongest) + ", longest money tick " +
                    longestText(round.runningTicks.longest));
    }
}

void WindowBench::reportMemory(FigureReport& report) const
{
    long rss = startUpRssKb_, fleet = 0;
    for (const Round& round : rounds_) {
        rss = std::max(rss, round.rssKb);
        fleet = std::max(fleet, round.fleetRssKb);
    }
    report.target("console_rss_mb", mb(rss), kMemoryTargetMb, "MB",
                  "VmRSS of the console process alone, largest after a stop with every bill open; the " +
                      std::to_string(options_.stations) + " station engines run in a child process");
    report.figure("console_rss_after_startup_mb", mb(startUpRssKb_), "MB");
    report.figure("console_peak_rss_mb", mb(peakRssKb_), "MB", "VmHWM");
    report.figure("station_process_rss_mb", mb(fleet), "MB", "VmRSS of the child process with the station engines");
}

} // namespace console::ui::bench
