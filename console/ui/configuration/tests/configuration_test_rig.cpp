#include "configuration_test_rig.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>

#include <ctime>

namespace brisko::test {

bool ScriptedPrompts::askYesNo(const std::string& question)
{
    questions.push_back(question);
    if (answers.empty())
        return false;
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
}

void RecordingWorkers::StartStationWorker(int i, bool createEvents)
{
    calls.push_back("start " + std::to_string(i) + (createEvents ? " create" : ""));
}

void RecordingWorkers::StopStationWorker(int i, bool releaseEvents)
{
    calls.push_back("stop " + std::to_string(i) + (releaseEvents ? " release" : ""));
}

ConfigurationRig::ConfigurationRig()
    : folder_(temporary_.path().toStdString()),
      clock_(std::time(nullptr)),
      configuration_(folder_, notifier_),
      journal_(folder_, clock_, notifier_),
      clients_(folder_, notifier_),
      saleItems_(folder_),
      printers_(folder_),
      rates_(folder_),
      model_(configuration_, journal_, {clients_, saleItems_, printers_, rates_}, workers, prompts)
{
}

ConfigurationRig::~ConfigurationRig()
{
    dialog_.reset();
    journal_.close();
}

void ConfigurationRig::writeClients(const std::vector<store::ClientEntry>& entries)
{
    store::ClientTable writer(folder_, notifier_);
    writer.load();
    writer.entries() = entries;
    writer.save();
    writer.close();
}

void ConfigurationRig::writeStandardRates()
{
    store::RateTable writer(folder_);
    writer.load();
    writer.rows() = {{"00:30:00", 1, 1.50}, {"00:15:00", 2, 0.50}, {"01:00:00", -1, 2.00}};
    writer.save();
    writer.close();
}

void ConfigurationRig::writeSaleItems(const std::vector<store::SaleItem>& items)
{
    store::SaleItemTable writer(folder_);
    writer.load();
    writer.items() = items;
    writer.save();
    writer.close();
}

void ConfigurationRig::writePrinters(const std::vector<store::PrinterEntry>& printers)
{
    store::PrinterTable writer(folder_);
    writer.load();
    writer.entries() = printers;
    writer.save();
    writer.close();
}

void ConfigurationRig::writeReceiptLines(const std::string& line1, const std::string& line2)
{
    store::Configuration writer(folder_, notifier_);
    writer.load();
    writer.setReceiptLine1(line1);
    writer.setReceiptLine2(line2);
    writer.save();
    writer.close();
}

void ConfigurationRig::chargeBill(const std::string& priceText)
{
    journal_.open();
    journal_.append({{"1", "Access", priceText}});
}

ConfigurationDialog& ConfigurationRig::openDialog()
{
    // The dialog of an earlier showing goes first: it must not see this opening as its own.
    dialog_.reset();
    model_.open();
    dialog_ = std::make_unique<ConfigurationDialog>(model_);
    dialog_->show();
    dialog_->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog_.get()))
        qWarning("the configuration dialog did not become active");
    return *dialog_;
}

std::vector<store::ClientEntry> ConfigurationRig::savedClients()
{
    clients_.close();
    store::ClientTable reader(folder_, notifier_);
    reader.load();
    auto entries = reader.entries();
    reader.close();
    clients_.load();
    return entries;
}

std::vector<store::SaleItem> ConfigurationRig::savedSaleItems()
{
    saleItems_.close();
    store::SaleItemTable reader(folder_);
    reader.load();
    auto items = reader.items();
    reader.close();
    saleItems_.load();
    return items;
}

std::vector<store::PrinterEntry> ConfigurationRig::savedPrinters()
{
    printers_.close();
    store::PrinterTable reader(folder_);
    reader.load();
    auto entries = reader.entries();
    reader.close();
    printers_.load();
    return entries;
}

std::vector<store::RateBlock> ConfigurationRig::savedRates()
{
    rates_.close();
    store::RateTable reader(folder_);
    reader.load();
    auto rows = reader.rows();
    reader.close();
    rates_.load();
    return rows;
}

bool ConfigurationRig::savedPasswordIs(const std::string& password)
{
    configuration_.close();
    store::Configuration reader(folder_, notifier_);
    const bool verified = reader.VerifyOperatorPassword(password);
    reader.close();
    configuration_.load();
    return verified;
}

std::string ConfigurationRig::savedReceiptLine1()
{
    configuration_.close();
    store::Configuration reader(folder_, notifier_);
    reader.load();
    std::string line = reader.ReceiptLine1();
    reader.close();
    configuration_.load();
    return line;
}

std::uintmax_t ConfigurationRig::configurationFileSize() const
{
    std::error_code error;
    const auto size = std::filesystem::file_size(folder_ / "BriskoConfig", error);
    return error ? 0 : size;
}

void clickRow(QAbstractItemView* list, int row, bool adding)
{
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, adding ? Qt::ControlModifier : Qt::NoModifier,
                      list->visualRect(index).center());
}

void typeOver(QWidget* edit, const QString& text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}

void typeIntoFocus(const QString& text)
{
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

void pressKey(QWidget* widget, int key)
{
    QTest::keyClick(widget, static_cast<Qt::Key>(key));
}

} // namespace brisko::test
