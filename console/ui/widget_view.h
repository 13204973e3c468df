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

namespace brisko {

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
    const QSignalBlocker blocker(combo);
    bool same = combo->count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < combo->count(); ++i)
        same = combo->itemText(i).toStdString() == entries[static_cast<std::size_t>(i)];
    if (!same) {
        combo->clear();
        for (const std::string& entry : entries)
            combo->addItem(QString::fromStdString(entry));
    }
    if (combo->currentIndex() != current)
        combo->setCurrentIndex(current);
}

} // namespace brisko
