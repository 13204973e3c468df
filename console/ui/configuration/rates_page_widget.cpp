#include "rates_page_widget.h"

#include "console/texts.h"

#include "duration_field_edit.h"
#include "money_field_edit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace console::ui {

RatesPageWidget::RatesPageWidget(console::configuration::RatesPage& page, QWidget* parent)
    : ConfigurationPageWidget(page, console::configuration::RatesPage::kColumns, "rates", "Number of Rates:", parent),
      page_(page),
      integerOnly_(QRegularExpression("-?[0-9]*"))
{
    setObjectName("ratesPage");
    rate_ = addReadOnlyField("Rate:", "rate");
    duration_ = new DurationFieldEdit(page.durationEditor(), this);
    addEditorRow("Block Duration (hh:mm:ss):", duration_, "duration");
    blockCount_ = addLineEdit("Block count:", "blockCount");
    blockCount_->setValidator(&integerOnly_);
    charge_ = new MoneyFieldEdit(page.priceEditor(), this);
    addEditorRow("Charge:", charge_, "charge");
    addSaveButton();

    // The trial under Save: a duration, "Test", and the charge it comes to.
    auto* trial = new QGroupBox(this);
    trial->setObjectName("rates.trial");
    testDuration_ = new DurationFieldEdit(page.testDuration(), trial);
    test_ = new QPushButton("Test", trial);
    testResult_ = new QLabel(trial);
    nameControl(testDuration_, "testDuration", "Test duration");
    nameControl(test_, "test", "Test");
    nameControl(testResult_, "testResult", "Test result");
    test_->setAutoDefault(false);
    testResult_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    testResult_->setMinimumWidth(testResult_->fontMetrics().horizontalAdvance("0000000.00"));
    auto* trialRow = new QHBoxLayout(trial);
    trialRow->addWidget(testDuration_);
    trialRow->addWidget(test_);
    trialRow->addWidget(testResult_, 1);
    addBelowSave(trial);
    auto* explained = new QLabel(QString::fromUtf8(console::kRatesExplained) + QLatin1Char(' ') +
                                     QString::fromUtf8(console::kRatesTestExplained),
                                 this);
    explained->setObjectName("rates.explained");
    explained->setWordWrap(true);
    addBelowSave(explained);

    connect(blockCount_, &QLineEdit::textEdited, this,
            [this](const QString& text) { page_.setBlockCountText(text.toStdString()); });
    connect(test_, &QPushButton::clicked, this, &RatesPageWidget::runTest);
    finishPage();
}

void RatesPageWidget::saveModel() { savePage(page_); }

void RatesPageWidget::showEditor()
{
    // "Rate:" is read-only rather than disabled, so it stays readable.
    rate_->setText(QString::fromStdString(page_.rateField().text));
    duration_->showModel();
    duration_->setEnabled(page_.durationEnabled());
    showField(blockCount_, page_.blockCountField());
    charge_->showModel();
    charge_->setEnabled(page_.priceEnabled());
}

void RatesPageWidget::runTest()
{
    page_.runTest();
    testResult_->setText(QString::fromStdString(page_.testResult()));
}

} // namespace console::ui
