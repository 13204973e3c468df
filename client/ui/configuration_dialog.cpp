#include "configuration_dialog.h"

#include "ipv4_field.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamblo {

ConfigurationDialog::ConfigurationDialog(client::ClientEngine& engine, QWidget* parent)
    : QDialog(parent), engine_(engine), field_(new Ipv4Field(this))
{
    setObjectName("configurationDialog");
    setWindowTitle("Tamblo configuration");
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Server IP Address:", this));
    row->addWidget(field_);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    auto* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    ok->setObjectName("okButton");
    cancel->setObjectName("cancelButton");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);

    field_->setAddress(engine_.configuredServerAddress());
    field_->setFocus();
}

void ConfigurationDialog::accept()
{
    engine_.storeServerAddress(field_->address());
    QDialog::accept();
}

} // namespace tamblo
