#include "window_test_support.h"

#include "control_ids.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

namespace console::ui::test {

using namespace std::chrono_literals;

bool waitUntil(const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

void whenModal(const std::function<bool(QWidget*)>& answer, int limitMs)
{
    auto* poll = new QTimer(qApp);
    auto* elapsed = new QElapsedTimer;
    elapsed->start();
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, elapsed, answer, limitMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if ((modal != nullptr && modal->isVisible() && answer(modal)) || elapsed->elapsed() > limitMs) {
            poll->stop();
            poll->deleteLater();
            delete elapsed;
        }
    });
    poll->start();
}

void acceptPasswordPrompt()
{
    whenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (dialog == nullptr || qobject_cast<QMessageBox*>(modal) != nullptr)
            return false;
        dialog->accept();
        return true;
    });
}

void answerMessageBox(QMessageBox::StandardButton button, QString* shown)
{
    whenModal([button, shown](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr || box->button(button) == nullptr)
            return false;
        if (shown != nullptr)
            *shown = box->text();
        box->button(button)->click();
        return true;
    });
}

WindowCafe::WindowCafe(CafeOptions options) : clock_(console::test::noonOfTestDay())
{
    console::test::writeClients(folder_.path(), options.stations);
    console::test::writeStandardRates(folder_.path());
    console::test::writeSaleItems(folder_.path(), {{"Coffee", 1.50, true},
                                                   {"Tea & Cake", 3.20, true},
                                                   {"Repairs", 0.0, false},
                                                   {"Soda", 1.00, true},
                                                   {"Sandwich", 2.80, true},
                                                   {"USB stick", 6.00, true}});
    console::ConsoleSettings settings;
    settings.makeKey = false; // the simulated stations hold no key
    settings.folder = folder_.path();
    settings.link.listenAddress = console::test::kConsoleAddress;
    settings.link.port = 0;
    window_ = std::make_unique<ConsoleWindow>(settings, clock_);
    acceptPasswordPrompt();
    if (window_->startUp() != console::ConsoleEngine::StartResult::Running)
        return;
    window_->show();
    window_->activateWindow();
    if (!QTest::qWaitForWindowActive(window_.get()))
        return;
    if (options.withStations) {
        for (int i = 0; i < options.stations; ++i)
            stations_.push_back(std::make_unique<SimulatedStation>(i, engine().link().mainPort()));
        stationTicks_.setInterval(5);
        QObject::connect(&stationTicks_, &QTimer::timeout, [this] {
            for (auto& station : stations_)
                station->tick();
        });
        stationTicks_.start();
        if (!allStopped())
            return;
    }
    ready_ = true;
}

WindowCafe::~WindowCafe()
{
    stationTicks_.stop();
    stations_.clear();
    window_.reset();
}

QTableView* WindowCafe::table() const { return control<QTableView>(id::kStationTable); }

void WindowCafe::selectRows(const std::vector<int>& rows)
{
    QTableView* view = table();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const QModelIndex index = view->model()->index(rows[k], 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, k == 0 ? Qt::NoModifier : Qt::ControlModifier,
                          view->visualRect(index).center());
    }
}

void WindowCafe::click(int controlId)
{
    auto* button = control<QAbstractButton>(controlId);
    QTest::mouseClick(button, Qt::LeftButton);
}

bool WindowCafe::allStopped()
{
    return waitUntil([this] {
        for (int i = 0; i < engine().stationTable().rowCount(); ++i)
            if (status(i) != "Stopped")
                return false;
        return true;
    });
}

bool WindowCafe::startRows(const std::vector<int>& rows)
{
    selectRows(rows);
    click(id::kStart);
    return waitUntil([&] {
        for (int i : rows)
            if (status(i) != "Started")
                return false;
        return true;
    });
}

void WindowCafe::tickAfter(std::chrono::seconds elapsed)
{
    clock_.advance(static_cast<std::time_t>(elapsed.count()));
    QTest::qWait(1100); // the money tick runs every second
}

} // namespace console::ui::test
