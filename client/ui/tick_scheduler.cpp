#include "tick_scheduler.h"

#include <algorithm>
#include <chrono>

namespace client::ui {

namespace {
constexpr std::chrono::milliseconds kShortest{10};
constexpr std::chrono::milliseconds kLongest{1000};
} // namespace

TickScheduler::TickScheduler(QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TickScheduler::fire);
}

void TickScheduler::arm(const client::LinkWake& wake)
{
    using namespace std::chrono;
    auto wait = kLongest;
    if (wake.at)
        wait = std::clamp(ceil<milliseconds>(*wake.at - steady_clock::now()), kShortest, kLongest);

    auto type = wake.forWriting ? QSocketNotifier::Write : QSocketNotifier::Read;
    if (wake.socket < 0) {
        notifier_.reset();
    } else if (!notifier_ || notifier_->socket() != wake.socket || notifier_->type() != type) {
        notifier_ = std::make_unique<QSocketNotifier>(wake.socket, type);
        connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
            // Level-triggered: quiet until the next arm. Fired from the event
            // loop, so that the tick may replace the notifier.
            notifier_->setEnabled(false);
            QTimer::singleShot(0, this, &TickScheduler::fire);
        });
    }
    if (notifier_) {
        // A socket that stays ready (a tick that could not take its data, as
        // while a message box of the tick is open) wakes at the timer's pace.
        auto sinceLast = milliseconds(lastFire_.isValid() ? lastFire_.elapsed() : kShortest.count());
        bool recent = sinceLast < kShortest;
        notifier_->setEnabled(!recent);
        if (recent)
            wait = std::min(wait, kShortest - sinceLast);
    }
    timer_.start(wait);
}

void TickScheduler::stop()
{
    timer_.stop();
    notifier_.reset();
}

void TickScheduler::fire()
{
    timer_.stop();
    if (notifier_)
        notifier_->setEnabled(false);
    lastFire_.start();
    emit due();
}

} // namespace client::ui
