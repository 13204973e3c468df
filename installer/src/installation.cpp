#include "installer/installation.h"

namespace installer {

namespace fs = std::filesystem;

fs::path installationFolder(const InstallPlan& plan)
{
    if (plan.folder.empty())
        return {};
    return (plan.source / plan.folder).lexically_normal();
}

InstallOutcome install(const InstallPlan& plan)
{
    InstallOutcome outcome;
    const fs::path folder = installationFolder(plan);
    // The folder is created one level deep: a missing parent fails, silently.
    if (plan.source.empty() || !platform::makeFolder(folder).ok)
        return outcome;

    // The program itself: its failure is the one the operator is told about.
    const std::string program = platform::programFileName(plan.program);
    auto copied = platform::copyFileReplacing(plan.source / program, folder / program);
    if (!copied.ok) {
        outcome.notes.push_back(copied.systemText);
        return outcome;
    }
    // The files beside it fail without further text; the program stays copied.
    for (const std::string& companion : platform::companionFileNames(plan.program))
        if (!platform::copyFileReplacing(plan.source / companion, folder / companion).ok)
            return outcome;

    if (plan.program == platform::InstallProgram::Workstation &&
        !platform::writeLogonStart(plan.logonStartFolder, platform::logonStartName(),
                                   folder / platform::logonStartProgramName())
             .ok)
        return outcome;

    outcome.succeeded = true;
    return outcome;
}

} // namespace installer
