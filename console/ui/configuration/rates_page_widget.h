#pragma once
// The "Rates" tab: the rate blocks, their number, an editor for the selected
// rows, and "Test", which shows the charge for a trial duration; shown over a
// RatesPage.

#include "configuration_page_widget.h"

#include "console/configuration/rates_page.h"

class QLabel;

namespace console::ui {

class DurationFieldEdit;
class MoneyFieldEdit;

class RatesPageWidget final : public ConfigurationPageWidget {
    Q_OBJECT
public:
    explicit RatesPageWidget(console::configuration::RatesPage& page, QWidget* parent = nullptr);

private:
    void saveModel() override;
    void showEditor() override;
    void runTest();

    console::configuration::RatesPage& page_;
    QRegularExpressionValidator integerOnly_;
    QLineEdit* rate_ = nullptr;
    DurationFieldEdit* duration_ = nullptr;
    QLineEdit* blockCount_ = nullptr;
    MoneyFieldEdit* charge_ = nullptr;
    DurationFieldEdit* testDuration_ = nullptr;
    QPushButton* test_ = nullptr;
    QLabel* testResult_ = nullptr;
};

} // namespace console::ui
