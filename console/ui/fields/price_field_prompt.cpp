#include "price_field_prompt.h"

#include "price_field_prompt_dialog.h"

namespace console::ui {

void QtPriceFieldPrompt::askPrice(const std::string& question, fields::MoneyField& price)
{
    PriceFieldPromptDialog dialog(QString::fromStdString(question), price, parent_);
    dialog.exec();
}

} // namespace console::ui
