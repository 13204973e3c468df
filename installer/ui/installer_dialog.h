#pragma once
// The "Installer" dialog: three pages, the model's notice under them, and
// "< Back", "Next >" / "Install" (or "Remove") and "Cancel". Every decision is
// the wizard model's; the dialog shows the model after each click and forwards
// the folder text as it is typed. GUI thread only.

#include "installer/wizard_model.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace installer {

class InstallerDialog : public QDialog {
    Q_OBJECT
public:
    // Shows one message box: `text` and whether it tells of a failure.
    using MessageShower = std::function<void(const QString& text, bool failure)>;

    explicit InstallerDialog(WizardSetup setup, QWidget* parent = nullptr);

    // Replaces the message boxes, for tests.
    void setMessageShower(MessageShower shower) { showMessage_ = std::move(shower); }
    const WizardModel& model() const { return model_; }

private:
    void onNext();
    void onBack();
    void runInstallation();
    void refresh();

    WizardModel model_;
    MessageShower showMessage_;
    QWidget* pages_[WizardModel::kStepCount] = {};
    QRadioButton* consoleRadio_ = nullptr;
    QRadioButton* workstationRadio_ = nullptr;
    QLineEdit* folderEdit_ = nullptr;
    QPlainTextEdit* summaryEdit_ = nullptr;
    QLabel* noticeLabel_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace installer
