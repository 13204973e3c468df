#pragma once
// The number and time formats of the station table and the bills, and the one
// text-to-number rule for money typed or kept as text.

#include "store/bill_item.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace console {

std::string accessCostText(double amount); // "%#-1.2f": the running charge
std::string moneyText(double amount);      // "%-1.2f": extras and totals
std::string priceText(double amount);      // "%.2f": bill lines, page charges, due/change

// The leading decimal number of a text, as the C library's text-to-double reads
// it; 0.0 when the text does not start with one. Never infinite or NaN.
double amountOf(std::string_view text);

// The sum of a bill's prices read back from their texts.
double billTotal(const std::vector<store::BillItem>& items);

// Elapsed whole seconds shown as "%H:%M:%S" of the span: hours within the day
// (whole days are not shown). Negative spans show as zero.
std::string spanClockText(std::int64_t seconds);
// The span's "%H:%M" (the minute a session has reached).
std::string spanMinuteText(std::int64_t seconds);
// "%H hrs %M mins %S secs": the description of a session's bill line.
std::string spanBillText(std::int64_t seconds);

// Calendar time shown in the "Start" column, "%H:%M:%S" local time.
std::string startClockText(std::time_t t);

} // namespace console
