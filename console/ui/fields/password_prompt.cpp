#include "password_prompt.h"

#include "password_prompt_dialog.h"

namespace brisko {

std::string QtPasswordPrompt::askPassword(const std::string& hint)
{
    PasswordPromptDialog dialog(parent_, QString::fromStdString(hint));
    dialog.exec();
    return dialog.password();
}

} // namespace brisko
