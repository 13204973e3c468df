#pragma once
// The receipt's fonts as Qt fonts on the printer. A receipt font names its
// face, weight, character cell height and average character width in device
// pixels; where the face is missing (Tahoma and Arial on Linux) fontconfig's
// substitute is used and stretched so its average width is the one asked for.

#include "console/receipt_layout.h"

#include <QFont>

class QPaintDevice;

namespace console::ui {

// `device` is the device the font is measured on (the printer being painted).
QFont receiptFont(const console::ReceiptFont& wanted, QPaintDevice* device);

} // namespace console::ui
