#include "synthetic_input_filter.h"

#include <QByteArray>

#include <cstdint>

namespace client::ui {

namespace {

// The core X11 protocol's event codes and the flag of an event sent by a
// client (the high bit of its response type), as xcb delivers them.
constexpr std::uint8_t kSentFlag = 0x80;
constexpr std::uint8_t kKeyPress = 2;
constexpr std::uint8_t kMotionNotify = 6;

struct GenericEvent {
    std::uint8_t responseType;
};

} // namespace

bool SyntheticInputFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || message == nullptr)
        return false;
    const auto responseType = static_cast<const GenericEvent*>(message)->responseType;
    const std::uint8_t code = responseType & ~kSentFlag;
    // KeyPress, KeyRelease, ButtonPress, ButtonRelease and MotionNotify, when sent.
    return (responseType & kSentFlag) != 0 && code >= kKeyPress && code <= kMotionNotify;
}

} // namespace client::ui
