#pragma once
// Integers as the configuration pages' edit fields and cells hold them. Cells
// are read back with the store's text-to-number rules (store/text_number.h,
// store/client_table.h); the fields' messages are in console/texts.h.

#include <optional>
#include <string>
#include <string_view>

namespace console::configuration {

// A whole edit-field text read as an integer (spaces around it allowed);
// nullopt when it is empty, holds anything else, or does not fit an int.
std::optional<int> parseIntegerField(std::string_view text);

std::string decimalText(int value); // "%d"

} // namespace console::configuration
