#include "installer/station_checks.h"

#include "installer/folder_text.h"
#include "platform/install_files.h"

#include <fstream>

namespace installer {

namespace fs = std::filesystem;

namespace {

bool isThere(const fs::path& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
}

bool holdsCafe(const fs::path& folder)
{
    return isThere(folder / "BriskoConfig") || isThere(folder / "BriskoBills");
}

// The console's remembered data folder: the last "data-folder=" line wins, as in the console.
std::optional<fs::path> rememberedFolder(const fs::path& configHome)
{
    constexpr std::string_view key = "data-folder=";
    std::ifstream in(configHome / "brisko" / "brisko.conf");
    std::optional<fs::path> folder;
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(key) && line.size() > key.size())
            folder = line.substr(key.size());
    return folder;
}

} // namespace

std::optional<fs::path> stationServiceUnit(const std::vector<fs::path>& unitFolders)
{
    for (const fs::path& folder : unitFolders)
        if (isThere(folder / "tamblo.service"))
            return folder / "tamblo.service";
    return std::nullopt;
}

std::optional<fs::path> counterCafeFolder(const fs::path& dataHome, const fs::path& configHome)
{
    if (holdsCafe(dataHome / "brisko"))
        return dataHome / "brisko";
    if (auto remembered = rememberedFolder(configHome); remembered && holdsCafe(*remembered))
        return remembered;
    return std::nullopt;
}

std::optional<fs::path> hiddenSystemEntry(const fs::path& systemLogonStartFolder, const fs::path& logonStartFolder,
                                          const std::string& name)
{
    const fs::path entry = platform::logonStartEntryPath(systemLogonStartFolder, name);
    if (sameFolder(logonStartFolder, systemLogonStartFolder) || !isThere(entry))
        return std::nullopt;
    return entry;
}

std::string stationRefusal(const StationMachine& machine)
{
    if (auto unit = stationServiceUnit(machine.unitFolders))
        return "The station is already installed here as a system service (" + unit->string() +
               "). Change its settings with sudo dpkg-reconfigure tamblo or sudo tamblo-setup.";
    if (auto cafe = counterCafeFolder(machine.dataHome, machine.configHome))
        return "This account keeps the counter's cafe (" + cafe->string() +
               "): the station's lock would lock the counter. Install the station on the station PCs.";
    if (auto entry = hiddenSystemEntry(machine.systemLogonStartFolder, machine.logonStartFolder,
                                       platform::logonStartName()))
        return "The system-wide entry " + entry->string() +
               " already starts the station at logon; an entry of this account would hide it.";
    return {};
}

} // namespace installer
