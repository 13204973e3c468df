#pragma once
// Everything the window layer gives the console engine: prompts, messages, the
// beep, receipt printing, the configuration dialog and (optionally) the print
// monitor.

#include "console/operator_interfaces.h"

#include "console/configuration/operator_dialogs.h"

namespace console::configuration {
class ConfigurationDialogModel;
}

namespace console {

class PrintMonitorControl;

// Shows the configuration dialog modally on its model, which the engine has
// just opened, and returns when the operator closed it with OK or Cancel (the
// model then knows which, and the ticked commands).
class ConfigurationDialogHost {
public:
    virtual ~ConfigurationDialogHost() = default;
    virtual void showConfiguration(configuration::ConfigurationDialogModel& dialog) = 0;
};

struct ConsoleServices {
    configuration::OperatorPrompts& prompts;
    PasswordPrompt& passwordPrompt;
    PriceFieldPrompt& pricePrompt;
    Beeper& beeper;
    ReceiptPrinter& receiptPrinter;
    ConfigurationDialogHost& configurationDialog;
    PrintMonitorControl* printMonitor = nullptr; // none: printed pages are not charged
};

} // namespace console
