#pragma once
// The station's one window: the full-screen lock screen or the 200x200 session
// panel, drawn from the engine's view. It forwards the mouse, the keys, the
// loss of focus and the desktop's end-of-session request to the engine, runs
// the 10 ms tick, and opens the end-session and configuration dialogs. On an
// X11 desktop its lock keeper covers every screen while the station is locked
// or in setup mode, unless the owner asked for maintenance in setup.
//
// Thread contract: the GUI thread only.

#include "client/client_engine.h"
#include "client/client_options.h"
#include "desktop_workstation.h"
#include "lock_keeper.h"
#include "station_fonts.h"
#include "tick_scheduler.h"
#include "window_host.h"

#include <QTimer>
#include <QWidget>

class QSessionManager;

namespace client::ui {

struct StationSetup {
    client::ClientOptions options;
    WorkstationSetup workstation;
};

class StationWindow : public QWidget {
    Q_OBJECT
public:
    explicit StationWindow(const StationSetup& setup);
    ~StationWindow() override;

    // Builds the locked state over the screen and starts the tick.
    void start();
    client::ClientEngine& engine() { return engine_; }
    const DesktopWorkstation& workstation() const { return workstation_; }
    const StationFonts& fonts() const { return fonts_; }
    const LockKeeper& lockKeeper() const { return keeper_; }
    // What the lock keeper is to hold now.
    LockMode lockMode();
    // The owner's choice in setup mode: the desktop uncovered until setup ends.
    void setMaintenance(bool maintenance);
    bool maintenance() const { return maintenance_; }
    // SIGTERM and the like: the desktop is given back and the program ends.
    void endOnSignal();
    // The program's exit status once it has ended: 0 when the console ordered
    // the end, else client::kExitNotOrdered, so that the supervisor brings it back.
    int exitStatus() const;

    // The desktop session is ending: refuse it, lock and tell the console.
    void queryEndSession(QSessionManager& manager);

signals:
    void programEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void tick();
    void openEndSessionDialog();
    void openConfigurationDialog();
    void centreOnScreen(QWidget& dialog);
    // A dialog over covered screens bypasses the window manager like the covers.
    void prepareDialog(QWidget& dialog);
    void endProgram();
    bool orderedEnd_ = false; // the console's QUIT or SHUTDOWN ended it
    void paintLocked(class QPainter& painter);
    void paintPanel(class QPainter& painter);

    WindowHost host_;
    DesktopWorkstation workstation_;
    client::ClientEngine engine_;
    StationFonts fonts_;
    TickScheduler ticker_;
    bool lockKept_; // on a real X11 desktop, not in a demonstration
    LockKeeper keeper_;
    bool maintenance_ = false;
    bool ending_ = false;
};

// The engine's settings from the command-line options.
client::EngineSettings engineSettings(const client::ClientOptions& options);

} // namespace client::ui
