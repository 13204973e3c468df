#pragma once
// "Tamblo configuration": the console's address, written to "TambloConfig",
// the cafe's key, written to "TambloKey" (left empty, the key in force stays),
// and the owner's setup code, written to "TambloSetup". The code is typed
// twice; left empty, the code in force stays. "Maintenance" asks for the
// desktop while setup lasts; without it the screens stay covered.
//
// Thread contract: the GUI thread only.

#include "client/client_engine.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace client::ui {

class Ipv4Field;

class ConfigurationDialog : public QDialog {
    Q_OBJECT
public:
    ConfigurationDialog(client::ClientEngine& engine, QWidget* parent = nullptr);
    Ipv4Field* field() const { return field_; }
    void setMaintenance(bool maintenance);
    bool maintenance() const;

protected:
    // Stores the address and, when one was typed, the new setup code; a code
    // that cannot be used keeps the dialog open with the reason and stores nothing.
    void accept() override;

private:
    void showCodeState();
    // Takes the typed key, when one was typed; false (with the reason shown) when it cannot be used.
    bool takeKey();

    client::ClientEngine& engine_;
    Ipv4Field* field_;
    QLineEdit* key_;
    QLabel* keyState_;
    QLineEdit* code_;
    QLineEdit* repeated_;
    QLabel* codeState_;
    QLabel* problem_;
    QCheckBox* maintenance_;
};

} // namespace client::ui
