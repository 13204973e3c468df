#include "installer/station_checks.h"

#include "installer/folder_text.h"
#include "installer/texts.h"
#include "platform/install_files.h"
#include "store/data_folder.h"

namespace installer {

namespace fs = std::filesystem;

namespace {

bool isThere(const fs::path& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
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
    // The console's own rules for where its cafe is.
    const store::UserFolders user{{}, dataHome, configHome};
    if (const fs::path usual = store::chooseDataFolder(std::nullopt, {{}, dataHome, {}}).path; store::holdsCafe(usual))
        return usual;
    if (auto remembered = store::rememberedDataFolder(user); remembered && store::holdsCafe(*remembered))
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
        return stationServiceMessage(unit->string());
    if (auto cafe = counterCafeFolder(machine.dataHome, machine.configHome))
        return counterCafeMessage(cafe->string());
    if (auto entry =
            hiddenSystemEntry(machine.systemLogonStartFolder, machine.logonStartFolder, platform::logonStartName()))
        return systemLogonEntryMessage(entry->string());
    return {};
}

} // namespace installer
