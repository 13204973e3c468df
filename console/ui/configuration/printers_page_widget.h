#pragma once
// The "Printers" tab: the printers and their page prices, the one print
// server name, the number of printers, and an editor for the selected rows,
// shown over a PrintersPage.

#include "configuration_page_widget.h"

#include "console/configuration/printers_page.h"

namespace console::ui {

class MoneyFieldEdit;

class PrintersPageWidget final : public ConfigurationPageWidget {
    Q_OBJECT
public:
    explicit PrintersPageWidget(console::configuration::PrintersPage& page, QWidget* parent = nullptr);

private:
    void saveModel() override;
    void showEditor() override;

    console::configuration::PrintersPage& page_;
    QLineEdit* printer_;
    QLineEdit* serverName_;
    QLineEdit* printerName_;
    MoneyFieldEdit* pageCost_;
};

} // namespace console::ui
