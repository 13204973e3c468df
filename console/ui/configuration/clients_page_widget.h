#pragma once
// The "Clients" tab: the stations' computer names and addresses, whether each
// proved the cafe's key, the number of stations, and an editor for the
// selected rows, shown over a ClientsPage.

#include "configuration_page_widget.h"

#include "console/configuration/clients_page.h"

class QCheckBox;

namespace console::ui {

class Ipv4AddressEdit;

class ClientsPageWidget final : public ConfigurationPageWidget {
    Q_OBJECT
public:
    explicit ClientsPageWidget(console::configuration::ClientsPage& page, QWidget* parent = nullptr);

private:
    void saveModel() override;
    void showEditor() override;

    console::configuration::ClientsPage& page_;
    QLineEdit* computer_;
    QLineEdit* name_;
    Ipv4AddressEdit* address_;
    QCheckBox* keyless_;
};

} // namespace console::ui
