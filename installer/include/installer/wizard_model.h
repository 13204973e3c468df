#pragma once
// The installer's three steps as a model: the choice (either program, or
// removing an installation), the folder that follows the choice until the
// operator edits it, the summary, a notice saying why the wizard cannot go on,
// and the state of the three buttons. The dialog shows it and forwards clicks
// and typing. Owned and used by one thread, the dialog's.

#include "installer/installation.h"
#include "installer/removal.h"

#include <string>
#include <vector>

namespace installer {

// What the wizard starts from: the source folder and the default folders.
struct WizardSetup {
    std::filesystem::path source;
    std::string consoleFolder;
    std::string workstationFolder;
    std::filesystem::path logonStartFolder;
    std::filesystem::path home; // where a typed "~" leads
    std::string removalFolder;  // offered for a removal; the console's folder when empty
    std::string stationRefusal; // why the station cannot be installed here; empty when it can
};

// The setup of this machine with the programs in `source`: "/opt/Brisko" and
// "/opt/Tamblo" for root (the same names under "~/.local/opt" otherwise), the
// matching autostart folder, and the station checks of the running account.
WizardSetup machineSetup(const std::filesystem::path& source);

class WizardModel {
public:
    static constexpr int kStepCount = 3;
    static constexpr int kRemovalChoice = 2;

    explicit WizardModel(WizardSetup setup);

    int step() const { return step_; }
    int choice() const { return choice_; } // -1 until something is chosen
    bool workstation() const { return choice_ == 1; }
    bool removing() const { return choice_ == kRemovalChoice; }
    const std::string& folder() const { return folder_; }
    bool folderEdited() const { return folderEdited_; }
    const std::string& summary() const { return summary_; }
    // Why "Next >" cannot go on from this page; empty when nothing stands in the way.
    const std::string& notice() const { return notice_; }

    // Buttons and pages after the last call.
    bool backEnabled() const { return step_ > 0; }
    bool nextEnabled() const;
    std::string nextCaption() const;
    bool pageVisible(int page) const { return page == step_; }
    bool nextInstalls() const { return step_ == kStepCount - 1; }

    // A radio button on step 1 was checked: 0 the console, 1 the workstation, 2 a removal.
    void choose(int index);
    // The operator typed in the folder edit; read when the page is left.
    void setFolderText(std::string text) { typedFolder_ = std::move(text); }
    // "Next >" on steps 1 and 2 (step 2 is kept while its folder is refused), "< Back" on steps 2 and 3.
    void next();
    void back();

    // The installation or the removal that the last button runs.
    InstallPlan plan() const;
    RemovalPlan removalPlan() const;
    [[nodiscard]] InstallOutcome carryOut() const;
    // The message that tells the operator how `outcome` went, with its reason after a failure.
    std::string verdict(const InstallOutcome& outcome) const;

private:
    void leavePage();
    bool acceptFolder();
    void showPage();

    WizardSetup setup_;
    int step_ = 0;
    int choice_ = -1;
    std::string folder_;
    std::string typedFolder_;
    bool folderEdited_ = false;
    std::filesystem::path chosenFolder_; // folder_ as a full path, once accepted
    std::vector<std::filesystem::path> removals_;
    std::string summary_;
    std::string notice_;
};

} // namespace installer
