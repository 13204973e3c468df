#pragma once
// PasswordPromptDialog: the small modal dialog that asks for the operator
// password. Empty caption, the label "Password:" and a masked edit, no
// buttons: Enter confirms, Escape or the close box cancel. The typed text is
// taken only on confirmation, so a cancelled prompt answers with an empty text.
// With a hint (a new cafe's empty password) the hint is shown under the box,
// with an OK button that confirms as Enter does.

#include <QDialog>

#include <string>

class QLineEdit;

namespace console::ui {

class PasswordPromptDialog : public QDialog {
    Q_OBJECT
public:
    explicit PasswordPromptDialog(QWidget* parent = nullptr, const QString& hint = {});

    // The text confirmed with Enter; empty while nothing was confirmed.
    const std::string& password() const { return password_; }

    void accept() override;

private:
    QLineEdit* edit_;
    std::string password_;
};

} // namespace console::ui
