#include "installer/wizard_model.h"

#include "installer/folder_text.h"
#include "installer/station_checks.h"
#include "installer/texts.h"
#include "store/data_folder.h"

namespace installer {

namespace fs = std::filesystem;

WizardSetup machineSetup(const fs::path& source)
{
    const bool administrator = platform::runsAsAdministrator();
    const auto programs = platform::defaultProgramsFolder(administrator);
    WizardSetup setup;
    setup.source = source;
    setup.consoleFolder = (programs / platform::programFolderName(platform::InstallProgram::Console)).string();
    setup.workstationFolder = (programs / platform::programFolderName(platform::InstallProgram::Workstation)).string();
    setup.logonStartFolder = platform::logonStartFolder(administrator);
    setup.home = platform::homeFolder();
    // A removal offers the station's default folder when the station is there.
    std::error_code ec;
    const bool stationThere = fs::exists(
        fs::path(setup.workstationFolder) / platform::programFileName(platform::InstallProgram::Workstation), ec);
    setup.removalFolder = stationThere ? setup.workstationFolder : setup.consoleFolder;
    StationMachine machine;
    machine.unitFolders = {"/lib/systemd/system", "/usr/lib/systemd/system"};
    // Where the console itself looks for its cafe.
    const store::UserFolders user = store::UserFolders::fromEnvironment();
    machine.dataHome = user.dataHome;
    machine.configHome = user.configHome;
    machine.systemLogonStartFolder = platform::logonStartFolder(true);
    machine.logonStartFolder = setup.logonStartFolder;
    setup.stationRefusal = stationRefusal(machine);
    return setup;
}

WizardModel::WizardModel(WizardSetup setup) : setup_(std::move(setup)) {}

bool WizardModel::nextEnabled() const
{
    if (step_ == 0)
        return choice_ >= 0 && !(workstation() && !setup_.stationRefusal.empty());
    if (nextInstalls() && removing())
        return !removals_.empty();
    return true;
}

std::string WizardModel::nextCaption() const
{
    if (!nextInstalls())
        return kNextCaption;
    return removing() ? kRemoveCaption : kInstallCaption;
}

void WizardModel::choose(int index)
{
    if (index < 0 || index > kRemovalChoice)
        return;
    choice_ = index;
    notice_ = workstation() ? setup_.stationRefusal : std::string();
}

void WizardModel::next()
{
    if (step_ >= kStepCount - 1 || !nextEnabled())
        return;
    leavePage();
    if (step_ == 1 && !acceptFolder())
        return;
    ++step_;
    showPage();
}

void WizardModel::back()
{
    if (step_ == 0)
        return;
    leavePage();
    --step_;
    showPage();
}

InstallPlan WizardModel::plan() const
{
    InstallPlan plan;
    plan.program = workstation() ? platform::InstallProgram::Workstation : platform::InstallProgram::Console;
    plan.source = setup_.source;
    plan.folder = folder_;
    plan.logonStartFolder = setup_.logonStartFolder;
    plan.home = setup_.home;
    return plan;
}

RemovalPlan WizardModel::removalPlan() const { return {chosenFolder_, setup_.logonStartFolder}; }

InstallOutcome WizardModel::carryOut() const { return removing() ? uninstall(removalPlan()) : install(plan()); }

std::string WizardModel::verdict(const InstallOutcome& outcome) const
{
    std::string text = outcome.succeeded ? (removing() ? kRemovalSuccessful : kInstallSuccessful)
                                         : (removing() ? kRemovalFailed : kInstallFailed);
    if (!outcome.succeeded && !outcome.reason.empty())
        text += "\n" + outcome.reason;
    return text;
}

void WizardModel::leavePage()
{
    if (step_ != 1)
        return;
    // Once the text differs from what the page showed, it no longer follows the choice.
    if (!folderEdited_ && typedFolder_ != folder_)
        folderEdited_ = true;
    folder_ = typedFolder_;
}

bool WizardModel::acceptFolder()
{
    const FolderChoice chosen = folderFromText(folder_, setup_.home);
    notice_ = chosen.refusal;
    if (notice_.empty() && removing())
        notice_ = removalRefusal(chosen.folder, setup_.source);
    chosenFolder_ = chosen.folder;
    return notice_.empty();
}

void WizardModel::showPage()
{
    notice_ = step_ == 0 && workstation() ? setup_.stationRefusal : std::string();
    if (step_ == 1) {
        if (!folderEdited_) {
            if (removing())
                folder_ = setup_.removalFolder.empty() ? setup_.consoleFolder : setup_.removalFolder;
            else
                folder_ = workstation() ? setup_.workstationFolder : setup_.consoleFolder;
        }
        typedFolder_ = folder_;
    } else if (step_ == 2 && removing()) {
        removals_ = filesToRemove(removalPlan());
        summary_ = kRemovalSummaryHeading + summaryFolderLine(chosenFolder_.string());
        if (removals_.empty()) {
            summary_ += kNothingFoundLine;
        } else {
            summary_ += kFilesToRemoveLine;
            for (const fs::path& file : removals_)
                summary_ += "  " + file.string() + "\r\n";
            summary_ += kFolderGoesTooLine;
        }
    } else if (step_ == 2) {
        summary_ = kInstallSummaryHeading;
        summary_ += workstation() ? kWorkstationSummary : kConsoleSummary;
        summary_ += "\r\n" + summaryFolderLine(chosenFolder_.string());
    }
}

} // namespace installer
