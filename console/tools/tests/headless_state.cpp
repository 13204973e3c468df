#include "headless_state.h"

namespace console::test {

int fieldNumber(const std::string& text)
{
    try {
        return std::stoi(text);
    } catch (...) {
        return -1;
    }
}

std::vector<std::string> splitFields(const std::string& text)
{
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
        const std::size_t bar = text.find('|', from);
        fields.push_back(text.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
        if (bar == std::string::npos)
            return fields;
        from = bar + 1;
    }
}

HeadlessState parseState(const std::vector<std::string>& lines)
{
    HeadlessState state;
    for (const std::string& line : lines) {
        const std::size_t space = line.find(' ');
        const std::string kind = line.substr(0, space);
        const std::vector<std::string> f = splitFields(space == std::string::npos ? "" : line.substr(space + 1));
        if (kind == "row" && (f.size() == 7 || f.size() == 8))
            state.rows.push_back({f[1], f[2], f[3], f[4], f[5], f[6], f.size() == 8 ? f[7] : std::string()});
        else if (kind == "bill" && f.size() == 3)
            state.bills.push_back({f[1], fieldNumber(f[2]), {}});
        else if (kind == "line" && f.size() == 3 && !state.bills.empty())
            state.bills.back().lines.push_back({f[0], f[1], f[2]});
        else if (kind == "alarm" && f.size() == 3)
            state.alarms.push_back({fieldNumber(f[0]), fieldNumber(f[1]), static_cast<std::time_t>(std::stoll(f[2]))});
    }
    return state;
}

} // namespace console::test
