#pragma once
// The "Rates" tab: the rate blocks, their number, an editor for the selected
// rows, and "Test", which shows the charge for a trial duration; shown over a
// RatesPage.

#include "configuration_page_widget.h"

#include "console/pages/rates_page.h"

class QLabel;

namespace brisko {

class DurationFieldEdit;
class MoneyFieldEdit;

class RatesPageWidget final : public ConfigurationPageWidget {
    Q_OBJECT
public:
    explicit RatesPageWidget(console::pages::RatesPage& page, QWidget* parent = nullptr);

private:
    void saveModel() override;
    void showEditor() override;
    void runTest();

    console::pages::RatesPage& page_;
    QLineEdit* rate_;
    DurationFieldEdit* duration_;
    QLineEdit* blockCount_;
    MoneyFieldEdit* charge_;
    DurationFieldEdit* testDuration_;
    QPushButton* test_;
    QLabel* testResult_;
    QRegularExpressionValidator integerOnly_;
};

} // namespace brisko
