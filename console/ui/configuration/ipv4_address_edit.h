#pragma once
// An IPv4 address entry: four octet boxes with dots between them. "." or a
// third digit moves on to the next box (a "." right after the third digit
// moved on is not a second move), Backspace in an empty box and the arrow
// keys at a box's edge move between boxes, and an empty box counts as 0.
// Entering a box by click or Tab selects its octet, so typing replaces it; a
// dotted address pasted into any box fills all four. The field can be shown
// cleared, with every box empty.

#include "platform/ipv4.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QWidget>

#include <array>

namespace console::ui {

class Ipv4AddressEdit : public QWidget {
    Q_OBJECT
public:
    explicit Ipv4AddressEdit(QWidget* parent = nullptr);

    void setAddress(const platform::Ipv4Address& address);
    void clear();
    // The address the boxes read as; an empty box is 0.
    platform::Ipv4Address address() const;
    QLineEdit* octetEdit(int i) const { return octets_.at(static_cast<std::size_t>(i)); }

signals:
    // The operator changed an octet.
    void edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int boxIndex(const QObject* watched) const;
    bool pasteAddress(const QString& text);
    void moveTo(int box, bool atEnd);

    QRegularExpressionValidator octetValidator_; // 0 to 255, or empty
    std::array<QLineEdit*, 4> octets_{};
    int advancedInto_ = -1; // the box the third digit of the one before moved on to
    int clickedInto_ = -1;  // the box a click is giving the focus to
};

} // namespace console::ui
