#include "configuration_test_rig.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>

#include <ctime>
#include <fstream>
#include <iterator>

namespace console::ui::test {

bool ScriptedPrompts::askYesNo(const std::string& question)
{
    questions.push_back(question);
    const bool yes = !answers.empty() && answers.front();
    if (!answers.empty())
        answers.pop_front();
    return yes;
}

ConfigurationRig::ConfigurationRig()
    : folder_(temporary_.path().toStdString()),
      clock_(std::time(nullptr)),
      configuration_(folder_, prompts),
      journal_(folder_, clock_, prompts),
      clients_(folder_, prompts),
      saleItems_(folder_),
      printers_(folder_),
      rates_(folder_),
      model_(
          configuration_, [this] { return journal_.dayTotal(); }, {clients_, saleItems_, printers_, rates_}, workers,
          prompts)
{
}

ConfigurationRig::~ConfigurationRig() { dialog_.reset(); }

void ConfigurationRig::writeBytes(const char* fileName, const std::vector<std::byte>& bytes) const
{
    std::ofstream out(folder_ / fileName, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::byte> ConfigurationRig::readBytes(const char* fileName) const
{
    std::ifstream in(folder_ / fileName, std::ios::binary);
    std::vector<std::byte> bytes;
    for (auto it = std::istreambuf_iterator<char>(in); it != std::istreambuf_iterator<char>(); ++it)
        bytes.push_back(static_cast<std::byte>(*it));
    return bytes;
}

void ConfigurationRig::writeStandardRates() const
{
    write<store::RateCodec>({{"00:30:00", 1, 1.50}, {"00:15:00", 2, 0.50}, {"01:00:00", -1, 2.00}});
}

void ConfigurationRig::writeReceiptLines(const std::string& line1, const std::string& line2)
{
    const auto bytes = store::Configuration::encode(*store::PasswordRecord::build("", 65536), line1, line2);
    writeBytes("BriskoConfig", {bytes.begin(), bytes.end()});
}

void ConfigurationRig::chargeBill(const std::string& priceText)
{
    QVERIFY(journal_.open());
    QVERIFY(journal_.append({{"1", "Access", priceText}}));
}

bool ConfigurationRig::savedPasswordIs(const std::string& password)
{
    configuration_.close();
    store::Configuration restarted(folder_, prompts);
    const bool verified = restarted.verifyOperatorPassword(password);
    restarted.close();
    if (!configuration_.load())
        QTest::qFail("the rig's configuration could not be read again", __FILE__, __LINE__);
    return verified;
}

ConfigurationDialog& ConfigurationRig::openDialog()
{
    // The dialog of an earlier showing goes first: it must not take this opening for its own.
    dialog_.reset();
    model_.open();
    dialog_ = std::make_unique<ConfigurationDialog>(model_);
    dialog_->show();
    dialog_->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog_.get()))
        qWarning("the configuration dialog did not become active");
    return *dialog_;
}

void clickRow(QAbstractItemView* list, int row, bool adding)
{
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, adding ? Qt::ControlModifier : Qt::NoModifier,
                      list->visualRect(index).center());
}

void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

void tick(QWidget* checkBox)
{
    QTest::mouseClick(checkBox, Qt::LeftButton, {},
                      QPoint(checkBox->fontMetrics().height() / 2, checkBox->height() / 2));
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

} // namespace console::ui::test
