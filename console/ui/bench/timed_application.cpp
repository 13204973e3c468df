#include "timed_application.h"

#include <QTimer>
#include <algorithm>

namespace console::ui::bench {

TimedApplication::TimedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TimedApplication::notify(QObject* receiver, QEvent* event)
{
    if (event->type() == QEvent::Paint)
        notePaint(receiver);
    if (depth_ > 0) {
        ++depth_;
        const bool handled = QApplication::notify(receiver, event);
        --depth_;
        return handled;
    }

    current_ = Delivery{};
    current_.receiverClass = receiver->metaObject();
    current_.type = event->type();
    if (current_.type == QEvent::Timer)
        if (auto* timer = qobject_cast<QTimer*>(receiver))
            current_.timerInterval = timer->intervalAsDuration();
    depth_ = 1;
    current_.start = SteadyClock::now();
    const bool handled = QApplication::notify(receiver, event);
    current_.end = SteadyClock::now();
    depth_ = 0;
    finishDelivery();
    return handled;
}

void TimedApplication::notePaint(QObject* receiver)
{
    if (!receiver->isWidgetType())
        return;
    QWidget* window = static_cast<QWidget*>(receiver)->window();
    const auto known = [window](const QPointer<QWidget>& w) { return w == window; };
    if (std::none_of(paintedBefore_.begin(), paintedBefore_.end(), known) &&
        std::none_of(paintedNow_.begin(), paintedNow_.end(), known))
        paintedNow_.emplace_back(window);
}

void TimedApplication::finishDelivery()
{
    if (onDelivery_)
        onDelivery_(current_);
    if (paintedNow_.empty())
        return;
    // The listener may show or close windows: it works on a copy.
    const std::vector<QPointer<QWidget>> painted = std::exchange(paintedNow_, {});
    for (const QPointer<QWidget>& window : painted) {
        paintedBefore_.push_back(window);
        if (window && onFirstPaint_)
            onFirstPaint_(window, current_.end);
    }
}

} // namespace console::ui::bench
