#include "client/client_options.h"
#include "brisko_version.h"

#include "client/texts.h"

#include <charconv>

namespace client {

ParsedOptions parseClientOptions(const std::vector<std::string>& args)
{
    ParsedOptions parsed;
    auto& o = parsed.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--windowed") {
            o.windowed = true;
        } else if (arg == "--address" || arg == "--dir" || arg == "--port" || arg == "--area" || arg == "--set-key") {
            if (!hasValue) {
                parsed.error = needsValueMessage(arg);
                return parsed;
            }
            const std::string& value = args[++i];
            if (arg == "--address") {
                o.address = platform::Ipv4Address::parse(value);
                if (!o.address || o.address->isAny()) {
                    parsed.error = notAnAddressMessage(value);
                    return parsed;
                }
            } else if (arg == "--dir") {
                o.folders = StationFolders::allIn(value);
                o.oneFolder = true;
            } else if (arg == "--set-key") {
                o.setKey = value;
            } else if (arg == "--area") {
                o.windowArea = parseGeometry(value);
                if (!o.windowArea) {
                    parsed.error = notAnAreaMessage(value);
                    return parsed;
                }
            } else {
                unsigned port = 0;
                auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), port);
                if (ec != std::errc() || end != value.data() + value.size() || port == 0 || port > 65535) {
                    parsed.error = notAPortMessage(value);
                    return parsed;
                }
                o.mainPort = static_cast<std::uint16_t>(port);
            }
        } else {
            parsed.error = unknownOptionMessage(arg);
            return parsed;
        }
    }
    return parsed;
}

std::string clientUsage()
{
    return "usage: tamblo [--address A.B.C.D] [--dir FOLDER] [--windowed [--area WxH+X+Y]] [--port N]\n"
           "       tamblo [--dir FOLDER] --set-key CODE\n"
           "\n"
           "The station client: locks this workstation until the counter starts a session.\n"
           "\n"
           "  --address A.B.C.D  this station's own address (default: the one its connection to the console comes "
           "from)\n"
           "  --dir FOLDER       keep every station file in FOLDER, for a demonstration or a test\n"
           "                     (default: /etc/tamblo, /var/lib/tamblo and /var/log/tamblo)\n"
           "  --windowed         a normal window, for demonstrations\n"
           "  --area WxH+X+Y     with --windowed: the part of the screen the station keeps to\n"
           "  --port N           the console's main port (default 32000)\n"
           "  --set-key CODE     keep the cafe's key (Configuration... in the console shows it)\n"
           "                     in TambloKey, and end (tamblo-setup does this and more)\n"
           "  --help             show this text\n"
           "  --version          show the version\n";
}

std::string clientVersion() { return "tamblo " BRISKO_VERSION "\n"; }

std::optional<ScreenRect> parseGeometry(const std::string& text)
{
    // Four whole numbers: width "x" height "+" left "+" top.
    int numbers[4] = {0, 0, 0, 0};
    const char separators[4] = {'x', '+', '+', '\0'};
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int k = 0; k < 4; ++k) {
        auto [next, ec] = std::from_chars(at, end, numbers[k]);
        if (ec != std::errc() || numbers[k] < 0)
            return std::nullopt;
        at = next;
        if (k < 3) {
            if (at == end || *at != separators[k])
                return std::nullopt;
            ++at;
        }
    }
    if (at != end || numbers[0] < kPanelSize || numbers[1] < kPanelSize)
        return std::nullopt;
    return ScreenRect{numbers[2], numbers[3], numbers[2] + numbers[0], numbers[3] + numbers[1]};
}

} // namespace client
