#pragma once
// Read-only edit fields drawn on the window's colour, as the desktop draws
// fields that cannot be typed into, while their text can still be selected
// and copied. Window thread only.

#include <QLineEdit>
#include <QPalette>

namespace console::ui {

inline void showAsReadOnly(QLineEdit* edit)
{
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
}

} // namespace console::ui
