#pragma once
// Which icon a console message gets. The console's messages are plain texts;
// the ones that report a failure or refuse input are told apart by their
// wording, so the operator sees a warning sign only where something is wrong.

#include <string>
#include <string_view>

namespace console::ui {

enum class MessageKind { Information, Warning, Critical };

MessageKind messageKind(std::string_view text);

// The text as a message box shows it: "\r\n" line breaks become "\n".
std::string messageBoxText(std::string_view text);

} // namespace console::ui
