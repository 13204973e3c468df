#include "clients_page_widget.h"

#include "ipv4_address_edit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace console::ui {

ClientsPageWidget::ClientsPageWidget(console::configuration::ClientsPage& page, QWidget* parent)
    : ConfigurationPageWidget(page, console::configuration::ClientsPage::kColumns, "clients",
                              "Number of Clients:", parent),
      page_(page),
      computer_(addLineEdit("Computer:", "computer")),
      name_(addLineEdit("Name:", "name")),
      address_(new Ipv4AddressEdit(this)),
      keyless_(new QCheckBox("May connect without the cafe's key", this))
{
    setObjectName("clientsPage");
    addEditorRow("IP Address:", address_, "address");
    addEditorRow("Without key:", keyless_, "keyless");
    connect(keyless_, &QCheckBox::toggled, this, [this](bool on) { page_.setKeylessAllowed(on); });
    connect(name_, &QLineEdit::textEdited, this,
            [this](const QString& text) { page_.setNameText(text.toStdString()); });
    connect(address_, &Ipv4AddressEdit::edited, this, [this] { page_.setAddress(address_->address()); });
    finishPage();
}

void ClientsPageWidget::saveModel() { savePage(page_); }

void ClientsPageWidget::showEditor()
{
    showField(computer_, page_.computerField());
    showField(name_, page_.nameField());
    // An empty address text means the control is cleared, not 0.0.0.0.
    if (page_.addressField().text.empty())
        address_->clear();
    else
        address_->setAddress(page_.editorAddress());
    address_->setEnabled(page_.addressField().enabled);
    const QSignalBlocker quiet(keyless_);
    keyless_->setChecked(page_.keylessAllowed());
    keyless_->setEnabled(page_.keylessEnabled());
}

} // namespace console::ui
