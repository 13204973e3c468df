#pragma once
// QtPasswordPrompt: console::PasswordPrompt on a PasswordPromptDialog, made
// afresh for each question. Window thread only.

#include "console/operator_interfaces.h"

#include <QPointer>
#include <QWidget>

namespace console::ui {

class QtPasswordPrompt final : public console::PasswordPrompt {
public:
    explicit QtPasswordPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    // The window the dialog is centred on (none: a window of its own).
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    // The typed text after Enter; empty after Escape or the close box.
    std::string askPassword(const std::string& hint) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace console::ui
