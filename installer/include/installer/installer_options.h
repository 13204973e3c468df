#pragma once
// Command-line options of `installer`: --from FOLDER, --help and --version;
// anything else is refused so that a mistyped option never starts an
// installation. No state; any thread.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace installer {

struct InstallerOptions {
    bool help = false;
    bool version = false;
    std::optional<std::string> from; // --from FOLDER: where the programs are copied from
    std::string error;               // empty when the arguments were understood
};

InstallerOptions parseInstallerOptions(const std::vector<std::string>& args);
// Under the name the program was started by ("brisko-installer" as packaged).
std::string installerUsage(const std::string& name);
std::string installerVersion(const std::string& name);

// The folder the programs are copied from: `from` (relative to `current`) when
// given, else `programFolder`, the installer's own folder, wherever it was
// started from. An error instead when that is no folder or is not known.
struct SourceFolder {
    std::filesystem::path folder;
    std::string error;
};
SourceFolder chooseSourceFolder(const std::optional<std::string>& from, const std::filesystem::path& current,
                                const std::filesystem::path& programFolder);

} // namespace installer
