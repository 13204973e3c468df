#include "delivery_statistics.h"

#include "stall_probe.h"

#include "console/console_engine.h"

#include <QMetaEnum>
#include <QTimer>
#include <cstring>

namespace console::ui::bench {

DeliveryKind DeliveryStatistics::kindOf(const Delivery& delivery)
{
    if (delivery.timerInterval == console::ConsoleEngine::kEventPollInterval)
        return DeliveryKind::EventPoll;
    if (delivery.timerInterval == console::ConsoleEngine::kMoneyTickInterval)
        return DeliveryKind::MoneyTick;
    if (delivery.timerInterval == StallProbe::kInterval)
        return DeliveryKind::Probe;
    switch (delivery.type) {
    case QEvent::UpdateRequest:
    case QEvent::Expose:
    case QEvent::Paint:
        return DeliveryKind::Painting;
    case QEvent::LayoutRequest:
        return DeliveryKind::Layout;
    default:
        return DeliveryKind::Other;
    }
}

std::string DeliveryStatistics::describe(const Delivery& delivery)
{
    switch (kindOf(delivery)) {
    case DeliveryKind::EventPoll:
        return "event poll (engine eventPoll() + window refresh)";
    case DeliveryKind::MoneyTick:
        return "money tick (engine moneyTick() + window refresh)";
    case DeliveryKind::Probe:
        return "stall probe";
    default:
        break;
    }
    const char* type = QMetaEnum::fromType<QEvent::Type>().valueToKey(delivery.type);
    std::string text = type != nullptr ? type : "event " + std::to_string(static_cast<int>(delivery.type));
    text += " to ";
    text += delivery.receiverClass != nullptr ? delivery.receiverClass->className() : "?";
    if (delivery.timerInterval.count() >= 0)
        text += " (" + std::to_string(delivery.timerInterval.count()) + " ms timer)";
    return text;
}

void DeliveryStatistics::reset(SteadyClock::time_point stretchStart)
{
    stretchStart_ = stretchStart;
    kinds_ = {};
    longest_ = {};
}

DeliveryStatistics::Longest
DeliveryStatistics::describeLongest(const Delivery& delivery, std::optional<SteadyClock::time_point> refreshFrom) const
{
    Longest longest{describe(delivery), delivery.duration(), delivery.start - stretchStart_, {}, {}};
    if (refreshFrom) {
        longest.engine = *refreshFrom - delivery.start;
        longest.refresh = delivery.end - *refreshFrom;
    }
    return longest;
}

void DeliveryStatistics::add(const Delivery& delivery, std::optional<SteadyClock::time_point> refreshFrom)
{
    KindFigures& figures = kinds_[static_cast<std::size_t>(kindOf(delivery))];
    ++figures.count;
    figures.total += delivery.duration();
    if (delivery.duration() > figures.longest.length)
        figures.longest = describeLongest(delivery, refreshFrom);
    if (delivery.duration() > longest_.length)
        longest_ = describeLongest(delivery, refreshFrom);
}

} // namespace console::ui::bench
