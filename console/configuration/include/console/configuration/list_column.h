#pragma once
// A column of a page's list: caption, width in pixels and alignment.

namespace console::configuration {

enum class ColumnAlignment { Left, Centre, Right };

struct ListColumn {
    const char* caption;
    int width;
    ColumnAlignment alignment;
};

} // namespace console::configuration
