#pragma once
// Texts of the configuration pages' edit fields. Cells are read back with the
// store's text-to-number rules (store/text_number.h, store/client_table.h).

#include <optional>
#include <string>
#include <string_view>

namespace console::configuration {

// The standard messages of integer edit fields.
inline constexpr const char* kEnterIntegerMessage = "Please enter an integer.";
// The Rates page's own account of how a session is charged.
inline constexpr const char* kRatesExplained =
    "How a session is charged: the rows are used from the top. Each row charges its price for every "
    "block of its duration, as many times as its # says; the row whose # is etc. repeats for as long as "
    "the session lasts. A session is counted one minute short, and a block begun is charged whole. With 00:30:00, 1, 1.50 and then 00:15:00, etc., "
    "0.50, a session of 40 minutes costs 1.50 + 0.50 = 2.00.";
inline constexpr const char* kRatesTestExplained = "Test below tries any duration.";
std::string integerRangeMessage(int low, int high); // "Please enter an integer between 1 and 99."

// A whole edit-field text read as an integer (spaces around it allowed);
// nullopt when it is empty, holds anything else, or does not fit an int.
std::optional<int> parseIntegerField(std::string_view text);

std::string decimalText(int value); // "%d"

} // namespace console::configuration
