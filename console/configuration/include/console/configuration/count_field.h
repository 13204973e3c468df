#pragma once
// The "Number of ..." field of every page: read on Save, checked against the
// page's range, refused with the standard messages.

#include "console/configuration/operator_dialogs.h"

#include <optional>
#include <string_view>

namespace console::configuration {

// Upper bound of the rate, sale item and printer lists, so that a mistyped
// count cannot make the page append millions of rows.
inline constexpr int kMaxTableRows = 9999;

// The count typed, or nullopt after the operator has been told why it was refused.
std::optional<int> readCountField(std::string_view text, int low, int high, OperatorPrompts& prompts);

} // namespace console::configuration
