#pragma once
// Command-line options of `brisko`. Plain C++, so the parsing is tested
// without a display.
//   --dir FOLDER          the folder of the console's data files (default: the
//                         folder it is started in)
//   --listen [ADDR][:PORT] where stations reach the console (default every
//                         local address, port 32000)
//   --help, --version

#include "link/link_settings.h"

#include <filesystem>
#include <string>
#include <vector>

namespace brisko {

struct ConsoleOptions {
    std::filesystem::path folder = ".";
    stationlink::LinkSettings link;
    bool help = false;
    bool version = false;
};

struct ParsedConsoleOptions {
    ConsoleOptions options;
    std::string error; // empty when the arguments were understood
};

// Parses the arguments after the program name.
ParsedConsoleOptions parseConsoleOptions(const std::vector<std::string>& args);
std::string consoleUsage();
std::string consoleVersion();

} // namespace brisko
