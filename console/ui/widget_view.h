#pragma once
// Copies the engine's small view records into Qt widgets. Refilling a list of
// entries from code is never reported as the operator's choice.

#include "console/console_view.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <string>
#include <vector>

namespace console::ui {

inline void showButton(QPushButton* button, const console::ButtonView& view)
{
    button->setVisible(view.visible);
    button->setEnabled(view.enabled);
    const QString caption = QString::fromStdString(view.caption);
    if (button->text() != caption)
        button->setText(caption);
}

inline void showText(QLabel* label, const console::TextView& view)
{
    label->setVisible(view.visible);
    const QString text = QString::fromStdString(view.text);
    if (label->text() != text)
        label->setText(text);
}

inline void showEntries(QComboBox* combo, const std::vector<std::string>& entries, int current)
{
    // Only what changed is touched: a bill list of 99 entries where one came
    // or went is not rebuilt whole.
    const QSignalBlocker blocker(combo);
    const int wanted = static_cast<int>(entries.size());
    while (combo->count() > wanted)
        combo->removeItem(combo->count() - 1);
    for (int i = 0; i < wanted; ++i) {
        const QString text = QString::fromStdString(entries[static_cast<std::size_t>(i)]);
        if (i >= combo->count())
            combo->addItem(text);
        else if (combo->itemText(i) != text)
            combo->setItemText(i, text);
    }
    if (combo->currentIndex() != current)
        combo->setCurrentIndex(current);
}

} // namespace console::ui
