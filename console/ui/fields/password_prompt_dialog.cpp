#include "password_prompt_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace console::ui {

PasswordPromptDialog::PasswordPromptDialog(QWidget* parent, const QString& hint) : QDialog(parent)
{
    setObjectName(QStringLiteral("passwordPromptDialog"));
    setWindowTitle(QString());
    setAccessibleName(tr("Password"));

    auto* label = new QLabel(tr("Password:"), this);
    label->setObjectName(QStringLiteral("passwordLabel"));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("passwordEdit"));
    edit_->setAccessibleName(tr("Password"));
    edit_->setEchoMode(QLineEdit::Password);
    label->setBuddy(edit_);
    // No push buttons, so Enter reaches the edit; it confirms the prompt.
    connect(edit_, &QLineEdit::returnPressed, this, &PasswordPromptDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(edit_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    if (!hint.isEmpty()) {
        auto* hintLabel = new QLabel(hint, this);
        hintLabel->setObjectName(QStringLiteral("passwordHint"));
        hintLabel->setWordWrap(true);
        layout->addWidget(hintLabel);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
        QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
        ok->setObjectName(QStringLiteral("passwordOk"));
        // Enter stays with the edit, which confirms as before.
        ok->setAutoDefault(false);
        connect(buttons, &QDialogButtonBox::accepted, this, &PasswordPromptDialog::accept);
        layout->addWidget(buttons);
    }
    // About the 186 dialog units of the prompt's classic width.
    setMinimumWidth(fontMetrics().averageCharWidth() * 186 / 4);
    edit_->setFocus();
}

void PasswordPromptDialog::accept()
{
    password_ = edit_->text().toStdString();
    QDialog::accept();
}

} // namespace console::ui
