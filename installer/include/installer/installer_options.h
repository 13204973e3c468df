#pragma once
// Command-line options of `installer`: only --help and --version; anything
// else is refused so that a mistyped option never starts an installation.

#include <string>
#include <vector>

namespace installer {

struct InstallerOptions {
    bool help = false;
    bool version = false;
    std::string error; // empty when the arguments were understood
};

InstallerOptions parseInstallerOptions(const std::vector<std::string>& args);
std::string installerUsage();
std::string installerVersion();

} // namespace installer
