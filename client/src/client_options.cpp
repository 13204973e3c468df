#include "client/client_options.h"

#include <charconv>

namespace client {

ParsedOptions parseClientOptions(const std::vector<std::string>& args)
{
    ParsedOptions parsed;
    auto& o = parsed.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool hasValue = i + 1 < args.size();
        if (arg == "--windowed") {
            o.windowed = true;
        } else if (arg == "--address" || arg == "--dir" || arg == "--port") {
            if (!hasValue) {
                parsed.error = arg + " needs a value";
                return parsed;
            }
            const std::string& value = args[++i];
            if (arg == "--address") {
                o.address = platform::Ipv4Address::parse(value);
                if (!o.address || o.address->isAny()) {
                    parsed.error = "not an IPv4 address: " + value;
                    return parsed;
                }
            } else if (arg == "--dir") {
                o.folder = value;
            } else {
                unsigned port = 0;
                auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), port);
                if (ec != std::errc() || end != value.data() + value.size() || port == 0 || port > 65535) {
                    parsed.error = "not a port number: " + value;
                    return parsed;
                }
                o.mainPort = static_cast<std::uint16_t>(port);
            }
        } else {
            parsed.error = "unknown option: " + arg;
            return parsed;
        }
    }
    return parsed;
}

std::string clientUsage()
{
    return "usage: tamblo [--address A.B.C.D] [--dir FOLDER] [--windowed] [--port N]\n";
}

} // namespace client
