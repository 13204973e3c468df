#include "installer/removal.h"

#include "installer/folder_text.h"
#include "installer/texts.h"
#include "platform/install_files.h"

namespace installer {

namespace fs = std::filesystem;

namespace {

// A file the wizard may have put there: a file or a link, never a folder of the same name.
bool isFileOrLink(const fs::path& path)
{
    std::error_code ec;
    const auto status = fs::symlink_status(path, ec);
    return !ec && (fs::is_regular_file(status) || fs::is_symlink(status));
}

} // namespace

std::vector<fs::path> filesToRemove(const RemovalPlan& plan)
{
    std::vector<fs::path> files;
    for (auto program : {platform::InstallProgram::Console, platform::InstallProgram::Workstation}) {
        std::vector<std::string> names = platform::companionFileNames(program);
        names.insert(names.begin(), platform::programFileName(program));
        for (const std::string& name : names)
            if (isFileOrLink(plan.folder / name))
                files.push_back(plan.folder / name);
    }
    // The entry goes only when it starts this folder's station, not one installed elsewhere.
    const fs::path entry = platform::logonStartEntryPath(plan.logonStartFolder, platform::logonStartName());
    if (auto program = platform::logonStartProgram(entry);
        program && sameFolder(program->lexically_normal().parent_path(), plan.folder))
        files.push_back(entry);
    return files;
}

std::string removalRefusal(const fs::path& folder, const fs::path& source)
{
    std::error_code ec;
    if (sameFolder(folder, source) || fs::equivalent(folder, source, ec))
        return sourceFolderMessage(folder.string());
    fs::path real = fs::weakly_canonical(folder, ec);
    if (ec)
        real = folder;
    const fs::path inside = real.lexically_relative("/usr");
    if (!inside.empty() && *inside.begin() != ".." && *inside.begin() != "local")
        return systemPackagesMessage(real.string());
    return {};
}

InstallOutcome uninstall(const RemovalPlan& plan)
{
    const std::vector<fs::path> files = filesToRemove(plan);
    if (files.empty())
        return {false, nothingToRemoveMessage(plan.folder.string())};
    std::error_code ec;
    for (const fs::path& file : files)
        if (!fs::remove(file, ec) && ec)
            return {false, cannotRemoveMessage(file.string(), ec.message())};
    if (fs::is_empty(plan.folder, ec) && !ec && !fs::remove(plan.folder, ec) && ec)
        return {false, cannotRemoveFolderMessage(plan.folder.string(), ec.message())};
    return {true, {}};
}

} // namespace installer
