#pragma once
// Texts of the configuration pages' edit fields. Cells are read back with the
// store's text-to-number rules (store/text_number.h, store/client_table.h).

#include <optional>
#include <string>
#include <string_view>

namespace console::pages {

// The standard messages of integer edit fields.
inline constexpr const char* kEnterIntegerMessage = "Please enter an integer.";
std::string integerRangeMessage(int low, int high); // "Please enter an integer between 1 and 99."

// A whole edit-field text read as an integer (spaces around it allowed);
// nullopt when it is empty, holds anything else, or does not fit an int.
std::optional<int> parseIntegerField(std::string_view text);

std::string decimalText(int value); // "%d"

} // namespace console::pages
