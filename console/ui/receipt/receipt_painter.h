#pragma once
// Paints a laid-out receipt: fonts, texts and rules, in the painter's device
// pixels with the origin at the top-left of the printable area.

#include "console/receipt_layout.h"

class QPainter;

namespace console::ui {

void paintReceipt(QPainter& painter, const console::ReceiptLayout& layout);

} // namespace console::ui
