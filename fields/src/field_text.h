#pragma once
// Character tests shared by the field models.

#include <string_view>

namespace fields {

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The text without the spaces, tabs and line ends around it, as pasted text often has.
inline std::string_view trimmed(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace fields
