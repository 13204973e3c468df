#include "stall_probe.h"

namespace console::ui::bench {

StallProbe::StallProbe(QObject* parent) : QObject(parent), timer_(this)
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kInterval);
    connect(&timer_, &QTimer::timeout, this, [this] { probe(); });
}

void StallProbe::start()
{
    beginStretch();
    timer_.start();
}

void StallProbe::beginStretch()
{
    last_ = Clock::now();
    longest_ = {};
    longestEnd_ = last_;
    runs_ = 0;
}

void StallProbe::probe()
{
    const auto now = Clock::now();
    if (now - last_ > longest_) {
        longest_ = now - last_;
        longestEnd_ = now;
    }
    last_ = now;
    ++runs_;
    if (hook_)
        hook_();
}

} // namespace console::ui::bench
