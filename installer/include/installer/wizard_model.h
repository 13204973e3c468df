#pragma once
// The installer's three steps as a model: the choice, the folder that follows
// the choice until the operator edits it, the summary, and the state of the
// three buttons. The dialog shows it and forwards clicks and typing.

#include "installer/installation.h"

#include <string>

namespace installer {

// What the wizard starts from: the source folder and the default folders.
struct WizardSetup {
    std::filesystem::path source;
    std::string consoleFolder;
    std::string workstationFolder;
    std::filesystem::path logonStartFolder;
};

// The setup of this machine: the current folder as the source, "/opt/Brisko"
// and "/opt/Tamblo" for root (the same names under "~/.local/opt" otherwise)
// and the matching autostart folder.
WizardSetup machineSetup();

class WizardModel {
public:
    static constexpr int kStepCount = 3;

    explicit WizardModel(WizardSetup setup);

    int step() const { return step_; }
    int choice() const { return choice_; } // -1 until a program is chosen
    bool workstation() const { return workstation_; }
    const std::string& folder() const { return folder_; }
    bool folderEdited() const { return folderEdited_; }
    const std::string& summary() const { return summary_; }

    // Buttons and pages after the last call.
    bool backEnabled() const { return step_ > 0; }
    bool nextEnabled() const { return choice_ >= 0; }
    std::string nextCaption() const;
    bool pageVisible(int page) const { return page == step_; }
    bool nextInstalls() const { return step_ == kStepCount - 1; }

    // A radio button on step 1 was checked: 0 the console, 1 the workstation.
    void choose(int index);
    // The operator typed in the folder edit; read when the page is left.
    void setFolderText(std::string text) { typedFolder_ = std::move(text); }
    // "Next >" on steps 1 and 2, "< Back" on steps 2 and 3.
    void next();
    void back();

    // The installation that "Install" runs.
    InstallPlan plan() const;

private:
    void leavePage();
    void showPage();

    WizardSetup setup_;
    int step_ = 0;
    int choice_ = -1;
    bool workstation_ = false;
    std::string folder_;
    std::string typedFolder_;
    bool folderEdited_ = false;
    std::string summary_;
};

} // namespace installer
