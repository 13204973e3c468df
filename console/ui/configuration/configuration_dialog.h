#pragma once
// "Configuration": the operator password and its confirmation, the two receipt
// lines, the day's takings, the four table pages on tabs, and the Terminate /
// Shutdown commands, shown over a ConfigurationDialogModel. Every edit, tick
// and tab change is forwarded to the model at once; OK, Cancel, Escape and the
// close box go to the model, which decides.
//
// Window thread only. The model must have been opened (model.open()) before
// the dialog is built on it.

#include "console/configuration/configuration_dialog_model.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace console::ui {

class ConfigurationDialog : public QDialog {
    Q_OBJECT
public:
    // OK calls model.ok() and closes only when it returns true; Cancel /
    // Escape / the close box call model.cancel().
    ConfigurationDialog(console::configuration::ConfigurationDialogModel& model, QWidget* parent = nullptr);
    ~ConfigurationDialog() override;

    void accept() override;
    void reject() override;

private:
    QLineEdit* addEdit(const char* name, const QString& accessibleName);
    void buildPages();
    void openAtNaturalSize();
    void dropPages();

    console::configuration::ConfigurationDialogModel& model_;
    QLineEdit* password_;
    QLineEdit* confirm_;
    QLineEdit* receiptLine1_;
    QLineEdit* receiptLine2_;
    QLabel* dayTotal_;
    QLineEdit* cafeKey_;
    QTabWidget* tabs_;
    QCheckBox* terminateClients_ = nullptr;
    QCheckBox* shutdownClients_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace console::ui
