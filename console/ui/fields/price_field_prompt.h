#pragma once
// QtPriceFieldPrompt: console::PriceFieldPrompt on a PriceFieldPromptDialog,
// made afresh for each question. Window thread only.

#include "console/operator_interfaces.h"

#include <QPointer>
#include <QWidget>

namespace console::ui {

class QtPriceFieldPrompt final : public console::PriceFieldPrompt {
public:
    explicit QtPriceFieldPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    // The window the dialog is centred on (none: a window of its own).
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    // Shows the question and lets the operator edit `price`; returns when the
    // dialog is closed, whichever way, with the field as the operator left it.
    void askPrice(const std::string& question, fields::MoneyField& price) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace console::ui
