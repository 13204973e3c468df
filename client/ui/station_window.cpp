#include "station_window.h"

#include "client/restart_policy.h"

#include "client/panel_view.h"
#include "client/texts.h"
#include "configuration_dialog.h"
#include "end_session_dialog.h"
#include "client/text_encoding.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSessionManager>

namespace client::ui {

namespace {

const QColor kPanelBlue(33, 93, 222);
const QColor kLockedRed(255, 0, 0);

QString wireText(const std::string& bytes)
{
    auto utf8 = client::cp1252ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString lines(const std::string& text) { return QString::fromStdString(text).replace("\r\n", "\n"); }

QRect boxRect(const client::PanelBox& b) { return QRect(b.left, b.top, b.right - b.left, b.bottom - b.top); }

// A one-pixel frame whose right and bottom edges lie just inside the box.
void frame(QPainter& painter, const client::PanelBox& b)
{
    painter.drawRect(b.left, b.top, b.right - b.left - 1, b.bottom - b.top - 1);
}

void textAt(QPainter& painter, client::WindowPoint at, const QString& text)
{
    painter.drawText(QRect(at.x, at.y, client::kPanelSize - at.x, 40), Qt::AlignLeft | Qt::AlignTop, text);
}

} // namespace

client::EngineSettings engineSettings(const client::ClientOptions& options)
{
    client::EngineSettings settings;
    settings.folders = options.folders;
    settings.builtInSetupCode = options.oneFolder;
    settings.link.mainPort = options.mainPort;
    settings.link.ownAddress = options.address;
    return settings;
}

StationWindow::StationWindow(const StationSetup& setup)
    : host_(*this),
      workstation_(*this, setup.workstation),
      engine_(host_, workstation_, engineSettings(setup.options)),
      fonts_(StationFonts::create()),
      lockKept_(!setup.workstation.windowed && QGuiApplication::platformName() == "xcb"),
      keeper_(*this, lockKept_, [this] { return lockMode(); })
{
    workstation_.attachLock([this] { return lockMode() != LockMode::Off; }, [this] { keeper_.update(); });
    setObjectName("stationWindow");
    setWindowTitle(kWindowTitle);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent); // painting covers the whole window
    setFocusPolicy(Qt::StrongFocus);
    connect(&ticker_, &TickScheduler::due, this, &StationWindow::tick);
}

StationWindow::~StationWindow() = default;

void StationWindow::start()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    QRect desktop = screen->geometry();
    QRect work = screen->availableGeometry();
    client::ScreenGeometry geometry{
        {desktop.left(), desktop.top(), desktop.left() + desktop.width(), desktop.top() + desktop.height()},
        {work.left(), work.top(), work.left() + work.width(), work.top() + work.height()},
    };
    engine_.start(geometry);
    update();
    ticker_.arm(engine_.nextWake());
}

LockMode StationWindow::lockMode()
{
    const client::ClientState& state = engine_.state();
    if (!state.setupMode)
        maintenance_ = false; // asked for one setup only
    if (!lockKept_ || ending_)
        return LockMode::Off;
    if (state.setupMode)
        return maintenance_ ? LockMode::Off : LockMode::Setup;
    return state.locked ? LockMode::Locked : LockMode::Off;
}

void StationWindow::setMaintenance(bool maintenance)
{
    if (!engine_.state().setupMode || maintenance == maintenance_)
        return;
    // The built-in code is no secret: the desktop is shown only to whoever
    // knows the owner's own.
    if (maintenance && !engine_.maintenanceAllowed()) {
        engine_.log().logLine("Maintenance needs the owner's setup code: set one first.");
        return;
    }
    maintenance_ = maintenance;
    engine_.log().logLine(maintenance ? "Maintenance: the desktop is shown until setup ends."
                                      : "Maintenance ended: the desktop is covered again.");
    workstation_.placeAgain(); // tells the keeper
}

int StationWindow::exitStatus() const { return orderedEnd_ ? 0 : client::kExitNotOrdered; }

void StationWindow::endOnSignal()
{
    if (ending_)
        return;
    engine_.log().endAttempts(); // the attempt under way, then the end, in order
    engine_.log().logLine("Ended by a signal.");
    workstation_.showTaskbar();
    endProgram();
}

void StationWindow::tick()
{
    switch (engine_.tick()) {
    case client::TickOutcome::Nothing:
        break;
    case client::TickOutcome::ShowAndRepaint:
        show();
        update();
        break;
    case client::TickOutcome::Close:
        orderedEnd_ = true;
        endProgram();
        break;
    }
    if (!ending_)
        ticker_.arm(engine_.nextWake());
}

void StationWindow::endProgram()
{
    ending_ = true;
    ticker_.stop();
    for (auto* dialog : findChildren<QDialog*>())
        dialog->reject();
    keeper_.update(); // gives the grabs, the covers and the server's keys back
    close();
    emit programEnded();
}

void StationWindow::queryEndSession(QSessionManager& manager)
{
    bool interacting = manager.allowsInteraction();
    manager.cancel();
    if (interacting)
        manager.release();
    engine_.onQueryEndSession();
    show();
    update();
}

void StationWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (engine_.view().locked)
        paintLocked(painter);
    else
        paintPanel(painter);
}

void StationWindow::paintLocked(QPainter& painter)
{
    painter.fillRect(rect(), Qt::black);
    painter.setFont(fonts_.large);
    painter.setPen(kLockedRed);
    QString text = QString::fromStdString(engine_.view().lockedText);
    QFontMetrics metrics(fonts_.large);
    auto origin = client::lockedTextOrigin(engine_.view().pointer, width(), height(), metrics.horizontalAdvance(text),
                                           metrics.height());
    painter.drawText(origin.x, origin.y + metrics.ascent(), text);
}

void StationWindow::paintPanel(QPainter& painter)
{
    namespace panel = client::panel;
    auto view = engine_.view();
    painter.fillRect(rect(), kPanelBlue);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::NoBrush);
    painter.setFont(fonts_.panel);

    painter.drawText(boxRect(panel::kTitle), Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(view.title));
    frame(painter, panel::kRowsFrame);
    frame(painter, panel::kMiddleRowFrame);
    if (view.showFigures) {
        textAt(painter, panel::kDurationAt, wireText(view.duration));
        painter.drawText(boxRect(panel::kAccessCost), Qt::AlignRight | Qt::AlignTop, wireText(view.accessCost));
        textAt(painter, panel::kExtrasLabelAt, kExtrasLabel);
        painter.drawText(boxRect(panel::kExtras), Qt::AlignRight | Qt::AlignTop, wireText(view.extras));
        textAt(painter, panel::kTotalLabelAt, kTotalLabel);
        painter.drawText(boxRect(panel::kTotal), Qt::AlignRight | Qt::AlignTop, wireText(view.total));
    }

    frame(painter, panel::kEndSessionFrame);
    QRect endText = boxRect(panel::kEndSessionFrame);
    endText.setTop(panel::kEndSessionTextTop);
    painter.drawText(endText, Qt::AlignHCenter | Qt::AlignTop, lines(view.endSessionText));

    frame(painter, panel::kToggleFrame);
    painter.setFont(fonts_.small);
    QRect toggleText = boxRect(panel::kToggleFrame);
    toggleText.setTop(panel::kToggleTextTop);
    painter.drawText(toggleText, Qt::AlignHCenter | Qt::AlignTop, lines(view.toggleText));
}

void StationWindow::mouseMoveEvent(QMouseEvent* event)
{
    auto p = event->position().toPoint();
    engine_.onMouseMove(p.x(), p.y());
    update();
}

void StationWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    auto p = event->position().toPoint();
    engine_.onLeftButtonDown(p.x(), p.y());
}

void StationWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    auto p = event->position().toPoint();
    switch (engine_.onLeftButtonUp(p.x(), p.y())) {
    case client::PanelClick::None:
        break;
    case client::PanelClick::PanelToggled:
        update();
        break;
    case client::PanelClick::OpenEndSessionDialog:
        // Opened once this event is done, so that no mouse handler stays on the stack.
        QTimer::singleShot(0, this, &StationWindow::openEndSessionDialog);
        break;
    }
}

void StationWindow::keyPressEvent(QKeyEvent* event)
{
    bool setupEntered = false;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        setupEntered = engine_.onCharacter('\r');
    } else {
        for (char c : event->text().toStdString())
            engine_.onCharacter(c);
    }
    if (setupEntered) {
        update();
        QTimer::singleShot(0, this, &StationWindow::openConfigurationDialog);
    }
}

void StationWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && !ending_ && isVisible()) {
        engine_.onKillFocus();
        update();
    }
}

void StationWindow::closeEvent(QCloseEvent* event)
{
    // Neither the keyboard nor the window manager closes the station.
    if (ending_)
        event->accept();
    else
        event->ignore();
}

void StationWindow::centreOnScreen(QWidget& dialog)
{
    dialog.adjustSize();
    QRect available = screen() ? screen()->availableGeometry() : QRect(0, 0, 800, 600);
    QRect r(QPoint(0, 0), dialog.size());
    r.moveCenter(available.center());
    dialog.move(r.topLeft());
}

void StationWindow::prepareDialog(QWidget& dialog)
{
    if (keeper_.mode() != LockMode::Off)
        dialog.setWindowFlags(dialog.windowFlags() | Qt::X11BypassWindowManagerHint | Qt::WindowStaysOnTopHint);
    centreOnScreen(dialog);
}

void StationWindow::openEndSessionDialog()
{
    if (ending_ || engine_.endSessionDialogMustClose())
        return;
    EndSessionDialog dialog(engine_, this);
    prepareDialog(dialog);
    dialog.exec();
    keeper_.update();
    update();
}

void StationWindow::openConfigurationDialog()
{
    if (ending_)
        return;
    ConfigurationDialog dialog(engine_, this);
    dialog.setMaintenance(maintenance_);
    prepareDialog(dialog);
    if (dialog.exec() == QDialog::Accepted)
        setMaintenance(dialog.maintenance());
    keeper_.update();
    update();
}

} // namespace client::ui
