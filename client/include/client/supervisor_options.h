#pragma once
// Command-line options of `tamblo-supervisor`. Its own options come first;
// everything else is tamblo's and is passed on to it.
//   --run-as USER         run tamblo as the service account USER, let USER
//                         onto the display, and wait for the display when it
//                         is gone (the station's system service)
//   --kiosk-user USER     the customers' account: when a session ends, every
//                         program it runs is ended
//   --kiosk-template DIR  with --kiosk-user: its home is then restored from DIR
//   --help, --version
//
// Thread contract: plain parsing without state; any thread.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace client {

struct SupervisorOptions {
    std::vector<std::string> stationArgs; // tamblo's own
    std::optional<std::string> runAs;
    std::optional<std::string> kioskUser;
    std::optional<std::filesystem::path> kioskTemplate;
    bool help = false;
    bool version = false;
    std::string error; // empty when the arguments were understood
};

SupervisorOptions parseSupervisorOptions(const std::vector<std::string>& args);
std::string supervisorUsage();

} // namespace client
