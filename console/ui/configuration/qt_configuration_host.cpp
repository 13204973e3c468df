#include "qt_configuration_host.h"

#include "configuration_dialog.h"

namespace console::ui {

void QtConfigurationHost::showConfiguration(console::configuration::ConfigurationDialogModel& dialog)
{
    ConfigurationDialog window(dialog, parent_);
    window.exec();
}

} // namespace console::ui
