#pragma once
// Where the console keeps the cafe's data files. Never the folder it happens
// to be started in: without --dir it uses the folder the owner chose and
// asked to remember, or else one fixed folder of the user's, so that the
// menu, a terminal and an autostart all find the same cafe.
//   given:      --dir FOLDER, for this start
//   remembered: "data-folder=FOLDER" in $XDG_CONFIG_HOME/brisko/brisko.conf
//               (brisko --dir FOLDER --remember writes it)
//   default:    $XDG_DATA_HOME/brisko, usually ~/.local/share/brisko
//
// Thread contract: no state beyond the files; any thread.

#include <filesystem>
#include <optional>
#include <string>

namespace store {

// The user's own folders, as the environment names them.
struct UserFolders {
    std::filesystem::path home;
    std::filesystem::path dataHome;   // XDG_DATA_HOME, or home/.local/share
    std::filesystem::path configHome; // XDG_CONFIG_HOME, or home/.config

    static UserFolders fromEnvironment();
    std::filesystem::path settingsFile() const { return configHome / "brisko" / "brisko.conf"; }
};

struct DataFolder {
    enum class Source { Given, Remembered, Default };
    std::filesystem::path path;
    Source source = Source::Default;
};

// The folder this start uses.
DataFolder chooseDataFolder(const std::optional<std::filesystem::path>& given, const UserFolders& user);
// The remembered folder; nullopt when none is remembered.
std::optional<std::filesystem::path> rememberedDataFolder(const UserFolders& user);
// Remembers `folder` (made absolute) for the starts without --dir. Why it
// could not, or nullopt.
std::optional<std::string> rememberDataFolder(const UserFolders& user, const std::filesystem::path& folder);
// Whether `folder` holds a cafe: its configuration or its bills journal is there.
bool holdsCafe(const std::filesystem::path& folder);
// "~/.local/share/brisko" for a folder inside the home, else the full path.
std::string shownFolder(const std::filesystem::path& folder, const UserFolders& user);

} // namespace store
