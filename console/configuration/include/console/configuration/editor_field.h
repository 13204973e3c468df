#pragma once
// The look of one editor control of a page, as data the window layer copies
// into its widget after every model call.

#include <string>

namespace console::configuration {

struct EditorField {
    std::string text;
    bool enabled = false;
};

} // namespace console::configuration
