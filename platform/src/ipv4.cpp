#include "platform/ipv4.h"

#include <charconv>
#include <cstdio>

namespace platform {

bool Ipv4Address::hasZeroOctet() const
{
    for (auto o : octets)
        if (o == 0)
            return true;
    return false;
}

std::string Ipv4Address::toString() const
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d.%d.%d.%d", octets[0], octets[1], octets[2], octets[3]);
    return buffer;
}

std::optional<Ipv4Address> Ipv4Address::parse(std::string_view text)
{
    Ipv4Address a;
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (p == end || *p != '.')
                return std::nullopt;
            ++p;
        }
        unsigned value = 0;
        auto [next, ec] = std::from_chars(p, end, value);
        if (ec != std::errc() || next == p || next - p > 3 || value > 255)
            return std::nullopt;
        a.octets[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
        p = next;
    }
    if (p != end)
        return std::nullopt;
    return a;
}

} // namespace platform
