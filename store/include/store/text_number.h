#pragma once
// Numbers read back from the texts the console shows and stores, the way a C
// text-to-number conversion reads them: leading blanks skipped, the longest
// number at the start taken, 0 when there is none.
// No state: safe from any thread.

#include <cstdint>
#include <string>
#include <string_view>

namespace store {

double parseMoneyText(std::string_view text);
// Decimal integer; 0 for no number or a value outside 32 bits.
std::int32_t parseIntText(std::string_view text);
// printf-style "%.2f".
std::string formatMoney(double value);

} // namespace store
