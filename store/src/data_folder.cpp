#include "store/data_folder.h"

#include "store/file_names.h"

#include <cstdlib>
#include <fstream>

namespace store {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDataFolderKey = "data-folder=";

fs::path fromEnvironment(const char* name, const fs::path& fallback)
{
    const char* value = std::getenv(name);
    // Relative values are to be ignored, as the XDG rules say.
    if (value && *value && fs::path(value).is_absolute())
        return value;
    return fallback;
}

} // namespace

UserFolders UserFolders::fromEnvironment()
{
    const char* home = std::getenv("HOME");
    UserFolders user;
    user.home = home && *home ? home : "/";
    user.dataHome = store::fromEnvironment("XDG_DATA_HOME", user.home / ".local" / "share");
    user.configHome = store::fromEnvironment("XDG_CONFIG_HOME", user.home / ".config");
    return user;
}

DataFolder chooseDataFolder(const std::optional<fs::path>& given, const UserFolders& user)
{
    if (given)
        return {*given, DataFolder::Source::Given};
    if (auto remembered = rememberedDataFolder(user))
        return {*remembered, DataFolder::Source::Remembered};
    return {user.dataHome / "brisko", DataFolder::Source::Default};
}

std::optional<fs::path> rememberedDataFolder(const UserFolders& user)
{
    std::ifstream in(user.settingsFile());
    std::string line;
    std::optional<fs::path> folder;
    while (std::getline(in, line))
        if (line.starts_with(kDataFolderKey) && line.size() > kDataFolderKey.size())
            folder = line.substr(kDataFolderKey.size());
    return folder;
}

std::optional<std::string> rememberDataFolder(const UserFolders& user, const fs::path& folder)
{
    std::error_code ec;
    const fs::path absolute = fs::absolute(folder, ec).lexically_normal();
    if (ec)
        return "The folder " + folder.string() + " cannot be named: " + ec.message() + ".";
    const fs::path file = user.settingsFile();
    fs::create_directories(file.parent_path(), ec);
    const fs::path written = fs::path(file) += ".new";
    {
        std::ofstream out(written, std::ios::trunc);
        out << "# The folder of the cafe's data files, used when brisko starts without --dir.\n"
            << kDataFolderKey << absolute.string() << "\n";
        if (!out.flush())
            return "The settings file " + file.string() + " could not be written.";
    }
    fs::rename(written, file, ec);
    if (ec)
        return "The settings file " + file.string() + " could not be written: " + ec.message() + ".";
    return std::nullopt;
}

bool holdsCafe(const fs::path& folder)
{
    // A cafe whose configuration was lost still has its books.
    std::error_code ec;
    return fs::exists(folder / store::kConfigFileName, ec) || fs::exists(folder / store::kJournalFileName, ec);
}

std::string shownFolder(const fs::path& folder, const UserFolders& user)
{
    const fs::path normal = folder.lexically_normal();
    const fs::path inside = normal.lexically_relative(user.home);
    if (normal.is_absolute() && !inside.empty() && *inside.begin() != ".." && user.home != "/")
        return inside == "." ? std::string("~") : "~/" + inside.string();
    return normal.string();
}

} // namespace store
