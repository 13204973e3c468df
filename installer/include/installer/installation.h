#pragma once
// One installation: copies the chosen program and its companion files from
// the source folder into the installation folder, making the folders that are
// missing, and, for the workstation, writes its logon start entry. It works on
// full paths and never changes the process's current folder.
// No state beyond the files; any thread.

#include "platform/install_files.h"

#include <filesystem>
#include <string>

namespace installer {

struct InstallPlan {
    platform::InstallProgram program = platform::InstallProgram::Console;
    std::filesystem::path source;           // the folder holding the programs to copy
    std::string folder;                     // the installation folder as typed (see folderFromText)
    std::filesystem::path logonStartFolder; // where the workstation's logon entry goes
    std::filesystem::path home;             // where a typed "~" leads
};

struct InstallOutcome {
    bool succeeded = false;
    // Why it failed, naming the file or folder and the system's text; empty on success.
    std::string reason;
};

[[nodiscard]] InstallOutcome install(const InstallPlan& plan);

} // namespace installer
