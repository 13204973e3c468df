#pragma once
// CSV as RFC 4180 has it: fields separated by commas, lines ended by CRLF; a field
// with a comma, a quote or a line break is quoted and its quotes doubled.

#include <string>
#include <string_view>
#include <vector>

namespace store::admin {

std::string csvField(std::string_view text);
std::string csvRecord(const std::vector<std::string>& fields);

} // namespace store::admin
