#pragma once
// Command-line options of `tamblo`.
//   --address A.B.C.D  the station's own address: announced to the console and
//                      used as the source address of every connection
//                      (default: the first IPv4 address of the host name)
//   --dir FOLDER       every station file in FOLDER, for a demonstration or a
//                      test (default: the installed station's folders, see
//                      StationFolders); the built-in setup code works there
//                      while the owner has set none
//   --windowed         a normal window for demonstrations: no full screen, no
//                      taskbar, cursor or keyboard changes
//   --port N           the console's main port (default 32000)
//   --area WxH+X+Y with --windowed: the area of the screen the station's
//                      windows keep to (the locked screen fills it, the session
//                      panel sits in its bottom-right corner), so that several
//                      stations can share one screen in a demonstration
//   --set-key CODE     keep the cafe's key CODE in "TambloKey" and end
//   --help             show the options
//   --version          show the version
//
// Thread contract: plain parsing without state; any thread.

#include "client/screen_rect.h"
#include "client/station_folders.h"
#include "platform/ipv4.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace client {

struct ClientOptions {
    std::optional<platform::Ipv4Address> address;
    StationFolders folders = StationFolders::installed();
    bool oneFolder = false; // --dir was given
    bool windowed = false;
    std::uint16_t mainPort = 32000;
    std::optional<ScreenRect> windowArea;
    std::optional<std::string> setKey;
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    ClientOptions options;
    std::string error; // empty when the arguments were understood
};

// Parses the arguments after the program name.
ParsedOptions parseClientOptions(const std::vector<std::string>& args);
std::string clientUsage();
// "tamblo VERSION" and a line break.
std::string clientVersion();
// "WxH+X+Y" as the X11 geometry option writes it; nullopt for anything else.
std::optional<ScreenRect> parseGeometry(const std::string& text);

} // namespace client
