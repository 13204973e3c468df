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
// Under the name the program was started by ("brisko-installer" as packaged).
std::string installerUsage(const std::string& name);
std::string installerVersion(const std::string& name);

} // namespace installer
