#pragma once
// Drops keyboard and mouse events that another program made up and sent to the
// station's windows (XSendEvent): only the real keyboard and mouse may type a
// setup code or press a button of the lock. The X server marks every such
// event as sent; the devices' own events never carry the mark.
//
// Thread contract: the GUI thread only (installed on the application).

#include <QAbstractNativeEventFilter>

namespace client::ui {

class SyntheticInputFilter final : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
};

} // namespace client::ui
