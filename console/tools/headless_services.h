#pragma once
// What a console without a window answers in place of its dialogs: every Yes/No
// question is Yes, the password prompt gives a fixed password, the price prompt
// types the price set for it, messages and beeps are written as lines to an
// output stream, and the receipt printer and the configuration dialog do nothing.
//
// One thread: the one running the console engine.

#include "console/console_services.h"
#include "console/operator_interfaces.h"

#include <cstdio>
#include <string>

namespace console::headless {

class HeadlessServices final :
    public configuration::OperatorPrompts,
    public PasswordPrompt,
    public PriceFieldPrompt,
    public Beeper,
    public ReceiptPrinter,
    public ConfigurationDialogHost {
public:
    // Lines go to `out` and are flushed at once (a pipe's reader waits for them).
    HeadlessServices(std::FILE* out, std::string password);

    ConsoleServices services();

    // The keys the next price prompts type into the price field ("" leaves it as it is).
    void setPriceKeys(std::string keys) { priceKeys_ = std::move(keys); }
    // Writes one line and flushes.
    void writeLine(const std::string& line);

    bool askYesNo(const std::string& question) override;
    void showMessage(const std::string& text) override;
    std::string askPassword(const std::string& /*hint*/) override { return password_; }
    void askPrice(const std::string& question, fields::MoneyField& price) override;
    void beep() override { writeLine("beep"); }
    std::optional<ReceiptPage> choosePrinter() override { return std::nullopt; }
    bool printPage(const ReceiptLayout&) override { return false; }
    void showConfiguration(configuration::ConfigurationDialogModel& dialog) override;

private:
    std::FILE* out_;
    std::string password_;
    std::string priceKeys_;
};

} // namespace console::headless
