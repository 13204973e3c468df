#pragma once
// Removing what the wizard installed in one folder: the files it copies there
// (of either program), the station's logon start entry when that entry runs a
// program from this folder, and then the folder itself once it is empty.
// Nothing else is touched; any other file keeps the folder.
// No state beyond the files; any thread.

#include "installer/installation.h"

#include <filesystem>
#include <string>
#include <vector>

namespace installer {

struct RemovalPlan {
    std::filesystem::path folder;           // full path, as folderFromText gives it
    std::filesystem::path logonStartFolder; // where the station's logon entry is looked for
};

// What uninstall removes, in that order; empty when nothing of the wizard's is there.
std::vector<std::filesystem::path> filesToRemove(const RemovalPlan& plan);

// Why nothing is removed from `folder`, for the operator; empty when it may be.
// The folder the programs are installed from (`source`) and the system's own
// folders under /usr, which the package manager keeps, are left alone.
std::string removalRefusal(const std::filesystem::path& folder, const std::filesystem::path& source);

[[nodiscard]] InstallOutcome uninstall(const RemovalPlan& plan);

} // namespace installer
