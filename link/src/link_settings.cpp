#include "link/link_settings.h"

namespace stationlink {

std::optional<LinkSettings> parseListenOption(std::string_view text, LinkSettings base)
{
    auto colon = text.find(':');
    std::string_view address = text.substr(0, colon);
    if (!address.empty()) {
        auto parsed = platform::Ipv4Address::parse(address);
        if (!parsed)
            return std::nullopt;
        base.listenAddress = *parsed;
    }
    if (colon != std::string_view::npos) {
        auto port = parsePortReply(text.substr(colon + 1));
        if (!port)
            return std::nullopt;
        base.port = *port;
    } else if (address.empty()) {
        return std::nullopt;
    }
    return base;
}

} // namespace stationlink
