#include "installer/wizard_model.h"

#include "installer/texts.h"

namespace installer {

WizardSetup machineSetup()
{
    const bool administrator = platform::runsAsAdministrator();
    const auto programs = platform::defaultProgramsFolder(administrator);
    WizardSetup setup;
    setup.source = platform::currentFolder();
    setup.consoleFolder = (programs / platform::programFolderName(platform::InstallProgram::Console)).string();
    setup.workstationFolder = (programs / platform::programFolderName(platform::InstallProgram::Workstation)).string();
    setup.logonStartFolder = platform::logonStartFolder(administrator);
    return setup;
}

WizardModel::WizardModel(WizardSetup setup) : setup_(std::move(setup)) {}

std::string WizardModel::nextCaption() const { return nextInstalls() ? kInstallCaption : kNextCaption; }

void WizardModel::choose(int index)
{
    if (index < 0 || index > 1)
        return;
    choice_ = index;
    workstation_ = choice_ != 0;
}

void WizardModel::next()
{
    if (step_ >= kStepCount - 1 || !nextEnabled())
        return;
    leavePage();
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
    plan.program = workstation_ ? platform::InstallProgram::Workstation : platform::InstallProgram::Console;
    plan.source = setup_.source;
    plan.folder = folder_;
    plan.logonStartFolder = setup_.logonStartFolder;
    return plan;
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

void WizardModel::showPage()
{
    if (step_ == 1) {
        if (!folderEdited_)
            folder_ = workstation_ ? setup_.workstationFolder : setup_.consoleFolder;
        typedFolder_ = folder_;
    } else if (step_ == 2) {
        summary_ = "Installation\r\n-----------\r\n";
        summary_ += workstation_ ? "Tamblo - Workstation" : "Brisko - Server";
        summary_ += "\r\nInstallation folder: " + folder_ + "\r\n";
    }
}

} // namespace installer
