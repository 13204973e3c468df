#include "lock_keeper.h"

#include <QApplication>
#include <QScreen>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <QWindow>

namespace client::ui {

namespace {

// While the grabs do not hold (the window manager may have them for a moment
// at start-up) they are tried again soon; once held, looked at now and then.
constexpr int kRetryMs = 50;
constexpr int kWatchMs = 1000;

bool bypassesWindowManager(const QWidget& w)
{
    return w.isVisible() && w.isWindow() && w.windowFlags().testFlag(Qt::X11BypassWindowManagerHint);
}

} // namespace

LockKeeper::LockKeeper(QWidget& station, bool active, std::function<LockMode()> mode)
    : station_(station), wanted_(std::move(mode))
{
    if (!active)
        return;
    stack_ = std::make_unique<platform::WindowStack>();
    serverKeys_ = std::make_unique<platform::ServerKeys>();
    connect(&covers_, &ScreenCovers::changed, this, &LockKeeper::check);
    if (stack_->fd() >= 0) {
        notices_ = std::make_unique<QSocketNotifier>(stack_->fd(), QSocketNotifier::Read);
        connect(notices_.get(), &QSocketNotifier::activated, this, &LockKeeper::onNotices);
    }
    if (serverKeys_->fd() >= 0) {
        keyboardNotices_ = std::make_unique<QSocketNotifier>(serverKeys_->fd(), QSocketNotifier::Read);
        connect(keyboardNotices_.get(), &QSocketNotifier::activated, this, &LockKeeper::onKeyboardNotices);
    }
    connect(&checker_, &QTimer::timeout, this, &LockKeeper::check);
    // The window manager hands the focus to a window it maps; the keys must
    // still reach the station's top window, and its shortcuts work only there.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] {
        if (applied_ != LockMode::Off)
            QTimer::singleShot(0, this, &LockKeeper::check);
    });
}

LockKeeper::~LockKeeper()
{
    releaseInput();
    if (serverKeys_)
        serverKeys_->restore();
}

void LockKeeper::update()
{
    if (!stack_)
        return;
    applied_ = wanted_();
    bool covering = applied_ != LockMode::Off;
    covers_.setShown(covering);
    if (covering) {
        if (!serverKeys_->disabled()) {
            // A master keyboard the customer added during the session goes too.
            serverKeys_->removeExtraMasters();
            serverKeys_->disable();
            serverKeys_->takeNotices(); // those of the change itself
        }
        check();
    } else {
        checker_.stop();
        releaseInput();
        if (serverKeys_->disabled())
            serverKeys_->restore();
    }
}

void LockKeeper::onNotices()
{
    if (stack_->takeNotices() && applied_ != LockMode::Off)
        check();
}

void LockKeeper::onKeyboardNotices()
{
    // A keyboard plugged in, or a map loaded, brings the server's keys back;
    // a second master keyboard would type past the lock's grab.
    if (serverKeys_->takeNotices() && serverKeys_->disabled()) {
        serverKeys_->removeExtraMasters();
        serverKeys_->disable();
    }
    serverKeys_->takeNotices(); // the notices of that change itself
}

void LockKeeper::check()
{
    if (applied_ == LockMode::Off)
        return;
    restack();
    takeInput();
    checker_.start(grabbing_ ? kWatchMs : kRetryMs);
    stack_->takeNotices(); // what the look itself brought in
}

void LockKeeper::restack()
{
    // The station window may have come out of the window manager's hands
    // unmapped; it is put back where it belongs.
    if (bypassesWindowManager(station_)) {
        QRect r = station_.geometry();
        stack_->restore(static_cast<platform::WindowId>(station_.winId()), r.x(), r.y(), r.width(), r.height());
    }
    // Top first: dialogs (the modal one on top), the station window, the covers.
    std::vector<platform::WindowId> order;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && bypassesWindowManager(*modal))
        order.push_back(static_cast<platform::WindowId>(modal->winId()));
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != modal && w != &station_ && bypassesWindowManager(*w) && !qobject_cast<LockCover*>(w))
            order.push_back(static_cast<platform::WindowId>(w->winId()));
    }
    if (bypassesWindowManager(station_))
        order.push_back(static_cast<platform::WindowId>(station_.winId()));
    for (LockCover* cover : covers_.covers()) {
        if (!cover->isVisible())
            continue;
        // A program of the customer's may unmap, move or shrink a cover: each
        // is put back over its whole screen, mapped, at every look.
        const QRect screen = cover->coveredScreen().geometry();
        const auto id = static_cast<platform::WindowId>(cover->winId());
        stack_->restore(id, screen.x(), screen.y(), screen.width(), screen.height());
        order.push_back(id);
    }
    if (!stack_->onTop(order))
        stack_->raise(order);
}

QWidget* LockKeeper::inputWindow() const
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible())
        return modal;
    return station_.isVisible() ? &station_ : nullptr;
}

void LockKeeper::takeInput()
{
    QWidget* holder = inputWindow();
    QWindow* window = holder ? holder->windowHandle() : nullptr;
    if (!window) {
        grabbing_ = false;
        return;
    }
    bool keyboard = window->setKeyboardGrabEnabled(true);
    bool pointer = window->setMouseGrabEnabled(true);
    grabbing_ = keyboard && pointer;
    if (holder != inputHolder_ || !holder->isActiveWindow()) {
        inputHolder_ = holder;
        holder->activateWindow(); // the keys then go to its focused field
    }
}

void LockKeeper::releaseInput()
{
    // The server keeps one grab of each kind per program: releasing it
    // through any of its windows ends it.
    QWidget* holder = inputHolder_ ? inputHolder_.data() : &station_;
    if (grabbing_ && holder->windowHandle()) {
        holder->windowHandle()->setKeyboardGrabEnabled(false);
        holder->windowHandle()->setMouseGrabEnabled(false);
    }
    inputHolder_ = nullptr;
    grabbing_ = false;
}

} // namespace client::ui
