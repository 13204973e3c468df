#include "console_options.h"
#include "brisko_version.h"

namespace console::ui {

ParsedConsoleOptions parseConsoleOptions(const std::vector<std::string>& args)
{
    ParsedConsoleOptions parsed;
    ConsoleOptions& o = parsed.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--remember") {
            o.remember = true;
        } else if (arg == "--dir" || arg == "--listen") {
            if (i + 1 >= args.size()) {
                parsed.error = arg + " needs a value";
                return parsed;
            }
            const std::string& value = args[++i];
            if (arg == "--dir") {
                if (value.empty()) {
                    parsed.error = "--dir needs a folder";
                    return parsed;
                }
                o.folder = value;
            } else {
                auto link = stationlink::parseListenOption(value, o.link);
                if (!link) {
                    parsed.error = "not an address or port: " + value;
                    return parsed;
                }
                o.link = *link;
            }
        } else {
            parsed.error = "unknown option: " + arg;
            return parsed;
        }
    }
    if (o.remember && !o.folder)
        parsed.error = "--remember needs --dir FOLDER";
    return parsed;
}

std::string consoleUsage()
{
    return "usage: brisko [--dir FOLDER [--remember]] [--listen [A.B.C.D][:PORT]]\n"
           "\n"
           "The cafe's counter console. Its data files (BriskoConfig, BriskoClient, BriskoRate,\n"
           "BriskoPOS, BriskoPrinter, BriskoBills, BriskoLog, BriskoOpen, BriskoPrinted, BriskoKey)\n"
           "live in ~/.local/share/brisko, or in the folder chosen with --dir --remember.\n"
           "\n"
           "  --dir FOLDER     use the data files in FOLDER instead\n"
           "  --remember       with --dir: use FOLDER from now on, also without --dir\n"
           "  --listen ADDR    where the stations reach the console: an address, an address\n"
           "                   and port (127.0.0.1:32000) or only a port (:32001);\n"
           "                   default every local address, port 32000\n"
           "  --help           show this text\n"
           "  --version        show the version\n";
}

std::string consoleVersion() { return "brisko " BRISKO_VERSION "\n"; }

} // namespace console::ui
