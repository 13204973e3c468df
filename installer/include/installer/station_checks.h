#pragma once
// Whether the station client may be installed for the account running the
// wizard. It is refused where the packaged system service already runs the
// station, where this account's logon entry would hide a system-wide one, and
// on the counter's own account, which the station's lock would lock. Each
// check takes the folders it looks in, so tests can give it temporary ones.
// No state beyond the files read; any thread.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace installer {

// The packaged service's unit "tamblo.service" in one of `unitFolders`.
std::optional<std::filesystem::path> stationServiceUnit(const std::vector<std::filesystem::path>& unitFolders);

// The console's cafe kept by the account: its default data folder
// (dataHome/brisko) or the folder remembered as "data-folder=PATH" in
// configHome/brisko/brisko.conf, when it holds a cafe.
std::optional<std::filesystem::path> counterCafeFolder(const std::filesystem::path& dataHome,
                                                       const std::filesystem::path& configHome);

// The system-wide logon entry `name` that an entry written into
// `logonStartFolder` would hide; none when `logonStartFolder` is the system's own.
std::optional<std::filesystem::path> hiddenSystemEntry(const std::filesystem::path& systemLogonStartFolder,
                                                       const std::filesystem::path& logonStartFolder,
                                                       const std::string& name);

// The folders the checks look in.
struct StationMachine {
    std::vector<std::filesystem::path> unitFolders; // the system's service unit folders
    std::filesystem::path dataHome;                 // $XDG_DATA_HOME, usually ~/.local/share
    std::filesystem::path configHome;               // $XDG_CONFIG_HOME, usually ~/.config
    std::filesystem::path systemLogonStartFolder;   // /etc/xdg/autostart
    std::filesystem::path logonStartFolder;         // where this installation writes its entry
};

// Why the station cannot be installed here, for the operator; empty when it can.
std::string stationRefusal(const StationMachine& machine);

} // namespace installer
