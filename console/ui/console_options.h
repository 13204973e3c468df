#pragma once
// Command-line options of `brisko`. Plain C++, so the parsing is tested
// without a display.
//   --dir FOLDER          the folder of the console's data files (default: the
//                         remembered one, else ~/.local/share/brisko; see
//                         console/data_folder.h)
//   --remember            with --dir: use FOLDER from now on
//   --listen [ADDR][:PORT] where stations reach the console (default every
//                         local address, port 32000)
//   --help, --version

#include "link/link_settings.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace console::ui {

struct ConsoleOptions {
    std::optional<std::filesystem::path> folder;
    bool remember = false;
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

} // namespace console::ui
