#include "password_prompt_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace brisko {

PasswordPromptDialog::PasswordPromptDialog(QWidget* parent) : QDialog(parent)
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

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(edit_, 1);
    // About the 186 dialog units of the prompt's classic width.
    setMinimumWidth(fontMetrics().averageCharWidth() * 186 / 4);
    edit_->setFocus();
}

void PasswordPromptDialog::accept()
{
    password_ = edit_->text().toStdString();
    QDialog::accept();
}

} // namespace brisko
