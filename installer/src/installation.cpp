#include "installer/installation.h"

#include "installer/folder_text.h"
#include "installer/texts.h"

#include <cerrno>
#include <system_error>
#include <vector>

namespace installer {

namespace fs = std::filesystem;

namespace {

InstallOutcome failed(std::string reason) { return {false, std::move(reason)}; }

// Why `file` cannot be copied from, as the system words it; empty when it looks copyable.
std::string unreadable(const fs::path& file)
{
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (!fs::exists(status))
        return ec ? ec.message() : std::generic_category().message(ENOENT);
    if (fs::is_directory(status))
        return std::generic_category().message(EISDIR);
    return {};
}

// Makes `folder` and every missing folder above it, as mkdir -p does; fails with the message why not.
platform::Result<void, std::string> makeFolders(const fs::path& folder)
{
    fs::path made;
    for (const fs::path& part : folder) {
        made /= part;
        if (auto result = platform::makeFolder(made); !result)
            return platform::failure(cannotMakeFolderMessage(made.string(), result.error()));
    }
    return {};
}

} // namespace

InstallOutcome install(const InstallPlan& plan)
{
    const FolderChoice chosen = folderFromText(plan.folder, plan.home);
    if (!chosen.refusal.empty())
        return failed(chosen.refusal);
    if (plan.source.empty())
        return failed(kSourceFolderUnknown);
    const fs::path& folder = chosen.folder;

    std::vector<std::string> files = platform::companionFileNames(plan.program);
    files.insert(files.begin(), platform::programFileName(plan.program));
    // Every file is looked for first, so that a missing one leaves nothing half installed.
    for (const std::string& file : files)
        if (std::string why = unreadable(plan.source / file); !why.empty())
            return failed(cannotReadMessage((plan.source / file).string(), why));
    if (auto made = makeFolders(folder); !made)
        return failed(made.error());
    for (const std::string& file : files)
        if (auto copied = platform::copyFileReplacing(plan.source / file, folder / file); !copied)
            return failed(cannotCopyMessage((plan.source / file).string(), (folder / file).string(), copied.error()));

    if (plan.program == platform::InstallProgram::Workstation) {
        auto written = platform::writeLogonStart(plan.logonStartFolder, platform::logonStartName(),
                                                 folder / platform::logonStartProgramName());
        if (!written)
            return failed(cannotWriteLogonEntryMessage(
                platform::logonStartEntryPath(plan.logonStartFolder, platform::logonStartName()).string(),
                written.error()));
    }
    return {true, {}};
}

} // namespace installer
