#pragma once
// One installation: copies the chosen program and its companion files from
// the source folder into the installation folder and, for the workstation,
// writes its logon start entry. It works on full paths and never changes the
// process's current folder.

#include "platform/install_files.h"

#include <filesystem>
#include <string>
#include <vector>

namespace installer {

struct InstallPlan {
    platform::InstallProgram program = platform::InstallProgram::Console;
    std::filesystem::path source;           // the folder the installer was started in
    std::string folder;                     // the installation folder as typed; relative to `source`
    std::filesystem::path logonStartFolder; // where the workstation's logon entry goes
};

struct InstallOutcome {
    bool succeeded = false;
    // System error texts to show, in order, before the verdict.
    std::vector<std::string> notes;
};

// The installation folder of `plan` as a full path.
std::filesystem::path installationFolder(const InstallPlan& plan);

[[nodiscard]] InstallOutcome install(const InstallPlan& plan);

} // namespace installer
