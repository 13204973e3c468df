#include "headless_services.h"

#include "console/configuration/configuration_dialog_model.h"
#include "fields/money_field.h"

namespace console::headless {

namespace {

// One output line per message: line breaks inside a text are written as "\n".
std::string oneLine(const std::string& text)
{
    std::string line;
    for (char c : text) {
        if (c == '\n')
            line += "\\n";
        else if (c != '\r')
            line += c;
    }
    return line;
}

} // namespace

HeadlessServices::HeadlessServices(std::FILE* out, std::string password) : out_(out), password_(std::move(password)) {}

ConsoleServices HeadlessServices::services()
{
    return ConsoleServices{*this, *this, *this, *this, *this, *this, nullptr};
}

void HeadlessServices::writeLine(const std::string& line)
{
    std::fputs(line.c_str(), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
}

bool HeadlessServices::askYesNo(const std::string& question)
{
    writeLine("question " + oneLine(question));
    return true;
}

void HeadlessServices::showMessage(const std::string& text) { writeLine("message " + oneLine(text)); }

void HeadlessServices::askPrice(const std::string&, fields::MoneyField& price)
{
    price.focusIn();
    for (char c : priceKeys_)
        price.typeChar(c);
}

void HeadlessServices::showConfiguration(configuration::ConfigurationDialogModel& dialog)
{
    if (dialog.isOpen())
        dialog.cancel();
}

} // namespace console::headless
