#include "console/configuration/count_field.h"

#include "console/configuration/page_text.h"
#include "console/texts.h"

namespace console::configuration {

std::optional<int> readCountField(std::string_view text, int low, int high, OperatorPrompts& prompts)
{
    const std::optional<int> count = parseIntegerField(text);
    if (!count) {
        prompts.showMessage(kEnterIntegerMessage);
        return std::nullopt;
    }
    if (*count < low || *count > high) {
        prompts.showMessage(integerRangeMessage(low, high));
        return std::nullopt;
    }
    return count;
}

} // namespace console::configuration
