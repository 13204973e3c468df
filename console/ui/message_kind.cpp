#include "message_kind.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace console::ui {

namespace {

bool containsWord(std::string_view text, std::string_view word)
{
    auto it = std::search(text.begin(), text.end(), word.begin(), word.end(),
                          [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    return it != text.end();
}

} // namespace

MessageKind messageKind(std::string_view text)
{
    // Files that cannot be opened or written, and a link that cannot listen,
    // lose the operator money or stations: those are critical.
    static constexpr std::array<std::string_view, 7> critical{"failed",    "error (",         "exception", "cannot",
                                                              "could not", "already running", "not saved"};
    for (std::string_view word : critical)
        if (containsWord(text, word))
            return MessageKind::Critical;
    // Refused input and damaged data files.
    static constexpr std::array<std::string_view, 5> warning{"invalid", "do not match", "please enter", "between",
                                                             "too long"};
    for (std::string_view word : warning)
        if (containsWord(text, word))
            return MessageKind::Warning;
    return MessageKind::Information;
}

std::string messageBoxText(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        shown += text[i];
    }
    return shown;
}

} // namespace console::ui
