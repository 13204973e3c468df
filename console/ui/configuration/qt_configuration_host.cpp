#include "qt_configuration_host.h"

#include "configuration_dialog.h"

namespace brisko {

void QtConfigurationHost::showConfiguration(console::pages::ConfigurationDialogModel& dialog)
{
    ConfigurationDialog window(dialog, parent_);
    window.exec();
}

} // namespace brisko
