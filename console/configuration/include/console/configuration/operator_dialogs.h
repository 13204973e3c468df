#pragma once
// The questions and messages the console puts to the operator. The window layer
// implements them with modal message boxes; tests answer them from a script.

#include <string>

namespace console::configuration {

class OperatorPrompts {
public:
    virtual ~OperatorPrompts() = default;
    // A Yes/No question; true for Yes.
    virtual bool askYesNo(const std::string& question) = 0;
    // A message with an OK button only.
    virtual void showMessage(const std::string& text) = 0;
};

} // namespace console::configuration
