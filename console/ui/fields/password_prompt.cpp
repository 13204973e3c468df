#include "password_prompt.h"

#include "password_prompt_dialog.h"

namespace console::ui {

std::string QtPasswordPrompt::askPassword(const std::string& hint)
{
    PasswordPromptDialog dialog(parent_, QString::fromStdString(hint));
    dialog.exec();
    return dialog.password();
}

} // namespace console::ui
