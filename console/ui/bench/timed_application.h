#pragma once
// TimedApplication: a QApplication that times every event the window thread
// delivers. Each outermost delivery (an event with all the events sent from
// inside it) is handed to a listener with its receiver's class, the event type
// and, for timer events of a QTimer, the timer's interval, so that a benchmark
// can tell the console's event poll from its money tick and from painting. It
// also reports the end of the first delivery that painted a top-level widget:
// the moment that window was first on screen. Window thread only.

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <vector>

namespace console::ui::bench {

using SteadyClock = std::chrono::steady_clock;

struct Delivery {
    const QMetaObject* receiverClass = nullptr; // stays valid when the receiver is deleted
    QEvent::Type type = QEvent::None;
    std::chrono::milliseconds timerInterval{-1}; // a QTimer's timer event; else -1
    SteadyClock::time_point start;
    SteadyClock::time_point end;

    SteadyClock::duration duration() const { return end - start; }
};

class TimedApplication final : public QApplication {
    Q_OBJECT
public:
    TimedApplication(int& argc, char** argv);

    void setDeliveryListener(std::function<void(const Delivery&)> listener) { onDelivery_ = std::move(listener); }
    void setFirstPaintListener(std::function<void(QWidget* window, SteadyClock::time_point painted)> listener)
    {
        onFirstPaint_ = std::move(listener);
    }
    // Whether an outermost delivery is under way, and since when.
    bool delivering() const { return depth_ > 0; }
    SteadyClock::time_point deliveryStart() const { return current_.start; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void notePaint(QObject* receiver);
    void finishDelivery();

    int depth_ = 0;
    Delivery current_;
    std::vector<QPointer<QWidget>> paintedNow_;
    std::vector<QPointer<QWidget>> paintedBefore_;
    std::function<void(const Delivery&)> onDelivery_;
    std::function<void(QWidget*, SteadyClock::time_point)> onFirstPaint_;
};

} // namespace console::ui::bench
