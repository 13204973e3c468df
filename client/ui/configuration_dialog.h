#pragma once
// "Tamblo configuration": the console's address, written to "TambloConfig".

#include "client/client_engine.h"

#include <QDialog>

namespace tamblo {

class Ipv4Field;

class ConfigurationDialog : public QDialog {
    Q_OBJECT
public:
    ConfigurationDialog(client::ClientEngine& engine, QWidget* parent = nullptr);
    Ipv4Field* field() const { return field_; }

protected:
    void accept() override;

private:
    client::ClientEngine& engine_;
    Ipv4Field* field_;
};

} // namespace tamblo
