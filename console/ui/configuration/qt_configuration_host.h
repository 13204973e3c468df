#pragma once
// Shows the console's configuration dialog for the engine: a modal
// ConfigurationDialog over the model the engine has just opened, returning
// when the operator has closed it with OK or Cancel. Window thread only.

#include "console/console_services.h"

#include <QPointer>
#include <QWidget>

namespace console::ui {

class QtConfigurationHost final : public console::ConfigurationDialogHost {
public:
    explicit QtConfigurationHost(QWidget* parent = nullptr) : parent_(parent) {}

    // The window the dialog is centred on and modal to.
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    void showConfiguration(console::configuration::ConfigurationDialogModel& dialog) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace console::ui
