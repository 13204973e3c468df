#include "qt_operator_prompts.h"

#include "message_kind.h"

#include <QMessageBox>

namespace console::ui {

namespace {

QMessageBox::Icon iconFor(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Critical:
        return QMessageBox::Critical;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Information:
        break;
    }
    return QMessageBox::Information;
}

} // namespace

bool QtOperatorPrompts::askYesNo(const std::string& question)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Brisko"), QString::fromStdString(messageBoxText(question)),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setObjectName(QStringLiteral("question"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtOperatorPrompts::showMessage(const std::string& text)
{
    QMessageBox box(iconFor(messageKind(text)), QStringLiteral("Brisko"), QString::fromStdString(messageBoxText(text)),
                    QMessageBox::Ok, parent_);
    box.setObjectName(QStringLiteral("message"));
    box.exec();
}

} // namespace console::ui
