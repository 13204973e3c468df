#include "scripted_services.h"

namespace console::test {

bool ScriptedPrompts::askYesNo(const std::string& question)
{
    questions.push_back(question);
    if (whileAsking)
        whileAsking(question);
    if (answers.empty())
        return true;
    bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedPrice::askPrice(const std::string& question, fields::MoneyField& price)
{
    questions.push_back(question);
    if (whileAsking)
        whileAsking();
    price.focusIn();
    for (char c : keys)
        price.typeChar(c);
}

void ScriptedConfigurationHost::showConfiguration(configuration::ConfigurationDialogModel& dialog)
{
    ++shown;
    if (script)
        script(dialog);
    // An OK that is refused leaves the dialog open, and the engine cancels it.
    if (dialog.isOpen())
        (void)dialog.ok();
}

} // namespace console::test
