#pragma once
// QtOperatorPrompts: the console's Yes/No questions and messages as modal
// message boxes. Window thread only.

#include "console/configuration/operator_dialogs.h"

#include <QPointer>
#include <QWidget>

namespace console::ui {

class QtOperatorPrompts final : public console::configuration::OperatorPrompts {
public:
    explicit QtOperatorPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    bool askYesNo(const std::string& question) override;
    void showMessage(const std::string& text) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace console::ui
