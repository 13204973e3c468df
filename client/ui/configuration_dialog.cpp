#include "configuration_dialog.h"

#include "ipv4_field.h"

#include "client/texts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace client::ui {

namespace {

QLineEdit* codeField(const char* name, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setEchoMode(QLineEdit::Password);
    field->setMaxLength(static_cast<int>(client::SetupCodeFile::kLongestCode));
    return field;
}

} // namespace

ConfigurationDialog::ConfigurationDialog(client::ClientEngine& engine, QWidget* parent)
    : QDialog(parent),
      engine_(engine),
      field_(new Ipv4Field(this)),
      key_(new QLineEdit(this)),
      keyState_(new QLabel(this)),
      code_(codeField("setupCodeField", this)),
      repeated_(codeField("setupCodeRepeatField", this)),
      codeState_(new QLabel(this)),
      problem_(new QLabel(this)),
      maintenance_(new QCheckBox(kMaintenanceCaption, this))
{
    setObjectName("configurationDialog");
    setWindowTitle(kSetupDialogTitle);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(kServerAddressLabel, this));
    row->addWidget(field_);

    key_->setObjectName("cafeKeyField");
    key_->setPlaceholderText(kCafeKeyPlaceholder);
    keyState_->setObjectName("cafeKeyState");
    keyState_->setText(engine_.hasCafeKey() ? kCafeKeySet : kNoCafeKey);
    auto* keyRows = new QFormLayout;
    keyRows->addRow(keyState_);
    keyRows->addRow(kCafeKeyLabel, key_);

    codeState_->setObjectName("setupCodeState");
    problem_->setObjectName("setupCodeProblem");
    problem_->setWordWrap(true);
    auto* codes = new QFormLayout;
    codes->addRow(codeState_);
    codes->addRow(kNewCodeLabel, code_);
    codes->addRow(kRepeatCodeLabel, repeated_);
    codes->addRow(problem_);

    maintenance_->setObjectName("maintenanceBox");

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(kOkButton, QDialogButtonBox::AcceptRole);
    auto* cancel = buttons->addButton(kCancelButton, QDialogButtonBox::RejectRole);
    ok->setObjectName("okButton");
    cancel->setObjectName("cancelButton");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(keyRows);
    layout->addLayout(codes);
    layout->addWidget(maintenance_);
    layout->addWidget(buttons);

    showCodeState();
    field_->setAddress(engine_.configuredServerAddress());
    field_->setFocus();
}

void ConfigurationDialog::setMaintenance(bool maintenance) { maintenance_->setChecked(maintenance); }

bool ConfigurationDialog::maintenance() const { return maintenance_->isChecked(); }

void ConfigurationDialog::showCodeState()
{
    codeState_->setText(engine_.hasOwnersSetupCode() ? kOwnersCodeInForce : kBuiltInCodeInForce);
}

bool ConfigurationDialog::takeKey()
{
    if (key_->text().trimmed().isEmpty())
        return true;
    auto problem = engine_.storeCafeKey(key_->text().toStdString());
    if (!problem)
        return true;
    problem_->setText(QString::fromStdString(*problem));
    key_->setFocus();
    return false;
}

void ConfigurationDialog::accept()
{
    if (!takeKey())
        return;
    if (!code_->text().isEmpty() || !repeated_->text().isEmpty()) {
        auto problem = engine_.changeSetupCode(code_->text().toStdString(), repeated_->text().toStdString());
        if (problem) {
            problem_->setText(QString::fromStdString(*problem));
            code_->clear();
            repeated_->clear();
            code_->setFocus();
            return;
        }
    }
    // The dialog closes either way: an address that could not be written
    // leaves the previous one in force, on disk and on the link alike.
    (void)engine_.storeServerAddress(field_->address());
    QDialog::accept();
}

} // namespace client::ui
