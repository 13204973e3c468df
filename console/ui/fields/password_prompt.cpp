#include "password_prompt.h"

#include "password_prompt_dialog.h"

namespace brisko {

std::string QtPasswordPrompt::askPassword()
{
    PasswordPromptDialog dialog(parent_);
    dialog.exec();
    return dialog.password();
}

} // namespace brisko
