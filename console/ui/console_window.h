#pragma once
// The console window: the station table on the left with Start, Stop, Bill,
// Swap and Configuration... below it, the bill panel on the right. It owns the
// console engine and the services the engine asks for (prompts, messages,
// receipts, the configuration dialog), runs the two timers, forwards every
// operator action to the engine and then shows the engine's view. It decides
// nothing itself. Window thread only.

#include "console/console_engine.h"
#include "console/station_table.h"
#include "platform/clock.h"

#include "password_prompt.h"
#include "price_field_prompt.h"
#include "qt_beeper.h"
#include "qt_configuration_host.h"
#include "qt_operator_prompts.h"
#include "qt_receipt_printer.h"

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

class QPushButton;
class QTableView;

namespace console::ui {

class BillPanelWidget;
class StationTableModel;

class ConsoleWindow final : public QDialog {
    Q_OBJECT
public:
    // The print monitor is optional: without one printed pages are not charged.
    ConsoleWindow(console::ConsoleSettings settings, const platform::Clock& clock,
                  console::PrintMonitorControl* printMonitor = nullptr, QWidget* parent = nullptr);
    ~ConsoleWindow() override;

    // Opens the files, asks the password and starts the stations and the
    // timers. Anything but Running means the program ends without the window.
    [[nodiscard]] console::ConsoleEngine::StartResult startUp();

    console::ConsoleEngine& engine() { return *engine_; }
    // "Brisko - FOLDER": the title names the folder of the cafe in use.
    const QString& folderTitle() const { return folderTitle_; }
    QtReceiptPrinter& receiptPrinter() { return receiptPrinter_; }
    bool timersRunning() const { return eventPoll_.isActive() || moneyTick_.isActive(); }

    // Runs an operator action on the engine, then shows the new state.
    void perform(const std::function<void()>& action);
    // Copies the engine's view into the widgets.
    void refresh();
    // A new cafe is offered the first-run wizard; its choices go to the engine.
    void offerFirstRun();

signals:
    // The exit was confirmed and the link has stopped.
    void consoleEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape
    void accept() override; // never closes the console by itself

private:
    QString folderTitle_;
    void buildWindow();
    QPushButton* addButton(int controlId, const QString& caption, const QString& accessibleName,
                           const std::function<void()>& action);
    void forwardTableSelection();
    void onFocusChanged(QWidget* now);
    void applyFocusRequest(const console::ConsoleView& view);
    void requestExit();
    bool handleKey(QKeyEvent* key);

    // Declared before the engine: the engine keeps references to them.
    QtOperatorPrompts prompts_;
    QtPasswordPrompt passwordPrompt_;
    QtPriceFieldPrompt pricePrompt_;
    QtBeeper beeper_;
    QtReceiptPrinter receiptPrinter_;
    QtConfigurationHost configurationHost_;
    std::unique_ptr<console::ConsoleEngine> engine_;

    QTimer eventPoll_;
    QTimer moneyTick_;

    StationTableModel* tableModel_ = nullptr;
    QTableView* table_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* bill_ = nullptr;
    QPushButton* swap_ = nullptr;
    QPushButton* configuration_ = nullptr;
    QPushButton* ok_ = nullptr;
    BillPanelWidget* panel_ = nullptr;

    unsigned appliedFocusSerial_ = 0;
    bool refreshing_ = false;
};

} // namespace console::ui
