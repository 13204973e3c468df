#pragma once
// The small services the window layer gives the console engine: the password
// and price prompts, the beep, and receipt printing. Questions and messages go
// through console::configuration::OperatorPrompts.

#include "console/receipt_layout.h"

#include <optional>
#include <string>

namespace fields {
class MoneyField;
}

namespace console {

// Asks for the operator password; returns the typed text (empty after Escape).
// A non-empty `hint` is shown under the box, with an OK button.
class PasswordPrompt {
public:
    virtual ~PasswordPrompt() = default;
    virtual std::string askPassword(const std::string& hint) = 0;
};

// "Edit Price": shows the question and lets the operator edit the price field.
// Whatever the field holds when the prompt closes is the price.
class PriceFieldPrompt {
public:
    virtual ~PriceFieldPrompt() = default;
    virtual void askPrice(const std::string& question, fields::MoneyField& price) = 0;
};

class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
    // A bill has come in from a station: a sound the operator hears from the
    // counter. The same beep unless the desktop has a better one.
    virtual void announceBill() { beep(); }
};

// Receipt printing: the window shows the print dialog and paints a laid-out page.
class ReceiptPrinter {
public:
    virtual ~ReceiptPrinter() = default;
    // The chosen printer's printable area in device pixels; nullopt when cancelled.
    virtual std::optional<ReceiptPage> choosePrinter() = 0;
    // Prints one page; false when the page could not be finished (the document is aborted).
    virtual bool printPage(const ReceiptLayout& layout) = 0;
    // Whether any printer is there to choose; without one the print dialog
    // would offer nothing to print on.
    virtual bool hasPrinter() const { return true; }
};

} // namespace console
