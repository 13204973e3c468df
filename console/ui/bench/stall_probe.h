#pragma once
// StallProbe: a precise 1 ms timer on the window thread. The gap between two
// of its runs is how long the event loop could not run; the probe keeps the
// longest gap of the current stretch and when it ended. A hook runs on every
// probe, for checks the benchmark makes while the loop turns. Window thread only.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace console::ui::bench {

class StallProbe final : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kInterval{1};

    explicit StallProbe(QObject* parent = nullptr);

    void start();
    void setHook(std::function<void()> hook) { hook_ = std::move(hook); }
    // Starts a new stretch: the longest gap counts from now.
    void beginStretch();
    Clock::duration longestGap() const { return longest_; }
    // When the longest gap of the stretch ended.
    Clock::time_point longestGapEnd() const { return longestEnd_; }
    int runs() const { return runs_; }

private:
    void probe();

    QTimer timer_;
    Clock::time_point last_;
    Clock::duration longest_{};
    Clock::time_point longestEnd_;
    int runs_ = 0;
    std::function<void()> hook_;
};

} // namespace console::ui::bench
