#include "console_window.h"

#include "first_run_wizard.h"

#include "store/data_folder.h"

#include "bill_panel_widget.h"
#include "control_ids.h"
#include "station_table_model.h"
#include "store/client_table.h"
#include "widget_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace console::ui {

using console::ConsoleEngine;
using console::FocusTarget;

ConsoleWindow::ConsoleWindow(console::ConsoleSettings settings, const platform::Clock& clock,
                             console::PrintMonitorControl* printMonitor, QWidget* parent)
    : QDialog(parent),
      folderTitle_(QStringLiteral("Brisko - ") +
                   QString::fromStdString(store::shownFolder(settings.folder, store::UserFolders::fromEnvironment())))
{
    engine_ =
        std::make_unique<ConsoleEngine>(std::move(settings), clock,
                                        console::ConsoleServices{prompts_, passwordPrompt_, pricePrompt_, beeper_,
                                                                 receiptPrinter_, configurationHost_, printMonitor});
    setObjectName(QStringLiteral("console"));
    setWindowTitle(folderTitle_);
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    buildWindow();

    eventPoll_.setInterval(ConsoleEngine::kEventPollInterval);
    moneyTick_.setInterval(ConsoleEngine::kMoneyTickInterval);
    connect(&eventPoll_, &QTimer::timeout, this, [this] { perform([this] { engine_->eventPoll(); }); });
    connect(&moneyTick_, &QTimer::timeout, this, [this] { perform([this] { engine_->moneyTick(); }); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { onFocusChanged(now); });
    qApp->installEventFilter(this);
}

ConsoleWindow::~ConsoleWindow()
{
    // Child dialogs closed by the destruction move the focus after the engine is
    // gone: the window no longer follows the focus from here on.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    qApp->removeEventFilter(this);
    eventPoll_.stop();
    moneyTick_.stop();
    // The panel's fields edit models the engine owns: they go before the
    // engine does, so that a focus leaving them finds their models still there.
    delete std::exchange(panel_, nullptr);
}

console::ConsoleEngine::StartResult ConsoleWindow::startUp()
{
    // Until the window shows, the start-up prompts and messages stand alone.
    const auto result = engine_->startUp();
    if (result != ConsoleEngine::StartResult::Running)
        return result;
    prompts_.setParentWidget(this);
    passwordPrompt_.setParentWidget(this);
    pricePrompt_.setParentWidget(this);
    receiptPrinter_.setParentWidget(this);
    configurationHost_.setParentWidget(this);
    refresh();
    table_->setFocus(Qt::OtherFocusReason);
    eventPoll_.start();
    moneyTick_.start();
    return result;
}

// --- building ---------------------------------------------------------------------------

QPushButton* ConsoleWindow::addButton(int controlId, const QString& caption, const QString& accessibleName,
                                      const std::function<void()>& action)
{
    auto* button = new QPushButton(caption, this);
    identify(button, controlId, accessibleName);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, action] { perform(action); });
    return button;
}

void ConsoleWindow::buildWindow()
{
    tableModel_ = new StationTableModel(
        engine_->stationTable(),
        [this](int i) {
            const auto& entries = engine_->clients().entries();
            return i < static_cast<int>(entries.size()) ? entries[static_cast<std::size_t>(i)].computerName
                                                        : std::string();
        },
        this);
    table_ = new QTableView(this);
    identify(table_, id::kStationTable, QStringLiteral("Stations"));
    table_->setModel(tableModel_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setShowGrid(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    // Column widths from the texts they hold, so that they follow the desktop's font.
    const QFontMetrics metrics = table_->fontMetrics();
    const std::array<QString, console::kColumnCount> widest{
        QStringLiteral("99"),       QStringLiteral("Disconnected"), QStringLiteral("00:00:00"),
        QStringLiteral("00:00:00"), QStringLiteral("Access Cost"),  QStringLiteral("0000.00"),
        QStringLiteral("00000.00")};
    for (int c = 0; c < console::kColumnCount; ++c)
        table_->setColumnWidth(c, metrics.horizontalAdvance(widest[static_cast<std::size_t>(c)]) +
                                      metrics.averageCharWidth() * 2);
    // The station's name takes the room that is left, however little.
    table_->horizontalHeader()->setMinimumSectionSize(metrics.averageCharWidth() * 3);
    table_->horizontalHeader()->setSectionResizeMode(StationTableModel::kNameColumn, QHeaderView::Stretch);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!refreshing_)
            perform([this] { forwardTableSelection(); });
    });
    connect(table_, &QTableView::clicked, this, [this] { perform([this] { forwardTableSelection(); }); });

    // The session buttons take no focus when clicked: the station table keeps
    // it, and with it the selection they act on.
    start_ =
        addButton(id::kStart, QStringLiteral("Start"), QStringLiteral("Start"), [this] { engine_->onStartPressed(); });
    stop_ = addButton(id::kStop, QStringLiteral("Stop"), QStringLiteral("Stop"), [this] { engine_->onStopPressed(); });
    bill_ = addButton(id::kBill, QStringLiteral("Bill"), QStringLiteral("Bill"), [this] { engine_->onBillPressed(); });
    swap_ = addButton(id::kSwap, QStringLiteral("Swap"), QStringLiteral("Swap"), [this] { engine_->onSwapPressed(); });
    configuration_ = addButton(id::kConfiguration, QStringLiteral("Configuration..."), QStringLiteral("Configuration"),
                               [this] { engine_->onConfigurationPressed(); });
    ok_ = addButton(id::kOk, QStringLiteral("OK"), QStringLiteral("OK"), [this] { engine_->onOkAction(); });
    for (QPushButton* button : {start_, stop_, bill_, swap_})
        button->setFocusPolicy(Qt::TabFocus);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {start_, stop_, bill_, swap_})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(configuration_);
    buttons->addWidget(ok_);

    auto* left = new QVBoxLayout;
    left->addWidget(table_, 1);
    left->addLayout(buttons);

    panel_ = new BillPanelWidget(
        *engine_, [this](const std::function<void()>& action) { perform(action); }, this);
    panel_->setMinimumWidth(metrics.averageCharWidth() * 42);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addWidget(panel_, 2);

    int tableWidth = 0;
    for (int c = 0; c < console::kColumnCount; ++c)
        tableWidth += table_->columnWidth(c);
    const int nameWidth = metrics.horizontalAdvance(QStringLiteral("Front-Desk-PC")) + metrics.averageCharWidth() * 3;
    table_->setMinimumWidth(tableWidth + metrics.averageCharWidth() * 6 + table_->frameWidth() * 2 + 24);
    // Room for everything the panel can show, so that showing it never grows the window.
    const QSize needed = layout->totalMinimumSize();
    resize(std::max(needed.width(), tableWidth + nameWidth + panel_->minimumWidth() + 80),
           std::max(needed.height(), metrics.height() * 34));
}

// --- the engine's view on the widgets ---------------------------------------------------------

void ConsoleWindow::perform(const std::function<void()>& action)
{
    action();
    refresh();
}

void ConsoleWindow::refresh()
{
    if (engine_->hasEnded())
        return;
    refreshing_ = true;
    tableModel_->sync();
    const console::StationTable& table = engine_->stationTable();
    QItemSelectionModel* selection = table_->selectionModel();
    for (int i = 0; i < table.rowCount(); ++i) {
        if (selection->isRowSelected(i, {}) == table.isSelected(i))
            continue;
        selection->select(tableModel_->index(i, 0),
                          (table.isSelected(i) ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                              QItemSelectionModel::Rows);
    }

    const console::ConsoleView view = engine_->view();
    showButton(start_, view.buttons.start);
    showButton(stop_, view.buttons.stop);
    showButton(bill_, view.buttons.bill);
    showButton(swap_, view.buttons.swap);
    showButton(configuration_, view.buttons.configuration);
    start_->setDefault(view.defaultButton == console::DefaultButton::Start);
    bill_->setDefault(view.defaultButton == console::DefaultButton::Bill);
    panel_->chargeButton()->setDefault(view.defaultButton == console::DefaultButton::Charge);
    panel_->show(view.bill);
    applyFocusRequest(view);
    refreshing_ = false;
}

void ConsoleWindow::applyFocusRequest(const console::ConsoleView& view)
{
    if (view.focusRequestSerial == appliedFocusSerial_)
        return;
    appliedFocusSerial_ = view.focusRequestSerial;
    QWidget* target =
        view.focusRequest.control == FocusTarget::Control::StationTable ? table_ : panel_->widgetFor(view.focusRequest);
    if (target != nullptr && target->isVisible() && target->isEnabled())
        target->setFocus(Qt::OtherFocusReason);
}

void ConsoleWindow::forwardTableSelection()
{
    std::vector<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    engine_->onStationSelectionChanged(rows);
}

void ConsoleWindow::onFocusChanged(QWidget* now)
{
    if (engine_->hasEnded() || now == nullptr || now->window() != this)
        return;
    FocusTarget target{FocusTarget::Control::None, 0};
    if (now == table_)
        target.control = FocusTarget::Control::StationTable;
    else if (auto panelTarget = panel_->focusTargetOf(now))
        target = *panelTarget;
    perform([this, target] { engine_->onFocusChanged(target); });
}

// --- keys and closing --------------------------------------------------------------------------

bool ConsoleWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == table_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const bool gained = event->type() == QEvent::FocusIn;
        perform([this, gained] { engine_->onStationTableFocus(gained); });
        return false;
    }
    // The application-wide filter sees the table's focus changes too.
    // Enter and Escape are the window's, wherever in it the focus is; dialogs
    // the engine opens over it keep their own.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() && watched == QApplication::focusWidget() &&
        static_cast<QWidget*>(watched)->window() == this)
        return handleKey(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

bool ConsoleWindow::handleKey(QKeyEvent* key)
{
    if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
        return false;
    if (key->key() == Qt::Key_Escape) {
        requestExit();
        return true;
    }
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    // A focused push button is pressed by Enter, as on any desktop.
    if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget())) {
        if (button->isEnabled())
            button->click();
        return true;
    }
    perform([this] { engine_->onEnter(); });
    return true;
}

void ConsoleWindow::requestExit()
{
    if (engine_->hasEnded())
        return;
    if (!engine_->requestExit()) {
        refresh();
        return;
    }
    eventPoll_.stop();
    moneyTick_.stop();
    emit consoleEnded();
    QDialog::done(QDialog::Accepted);
}

void ConsoleWindow::closeEvent(QCloseEvent* event)
{
    if (!engine_->hasEnded())
        requestExit();
    if (engine_->hasEnded())
        event->accept();
    else
        event->ignore();
}

void ConsoleWindow::reject() { requestExit(); }

void ConsoleWindow::accept() {}

void ConsoleWindow::offerFirstRun()
{
    if (engine_->hasEnded() || !engine_->firstRunWanted())
        return;
    console::configuration::FirstRunSetup setup;
    FirstRunWizard wizard(
        setup, [this] { return engine_->stationsKnocking(); }, this);
    // A file that cannot be written is told by the engine; the rest is kept.
    if (wizard.exec() == QDialog::Accepted)
        engine_->applyFirstRun(setup);
    refresh();
}

} // namespace console::ui
