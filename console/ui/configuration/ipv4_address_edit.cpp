#include "ipv4_address_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include <utility>

namespace console::ui {
namespace {

constexpr int kOctetDigits = 3;

} // namespace

Ipv4AddressEdit::Ipv4AddressEdit(QWidget* parent)
    : QWidget(parent), octetValidator_(QRegularExpression("([01]?[0-9]?[0-9]|2[0-4][0-9]|25[0-5])?"))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        if (i > 0)
            layout->addWidget(new QLabel(".", this));
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString("octet%1").arg(i));
        edit->setAccessibleName(QString("Octet %1").arg(i + 1));
        edit->setValidator(&octetValidator_);
        edit->setMaxLength(kOctetDigits);
        edit->setAlignment(Qt::AlignCenter);
        // Room for three digits in the desktop's font, so the field scales with it.
        const QFontMetrics metrics = edit->fontMetrics();
        edit->setFixedWidth(metrics.horizontalAdvance("000") + 2 * metrics.height());
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, i, edit](const QString& text) {
            advancedInto_ = -1;
            if (text.size() == kOctetDigits && edit->cursorPosition() == kOctetDigits && i + 1 < octets_.size()) {
                moveTo(static_cast<int>(i) + 1, false);
                // The "." typed next out of habit must not skip this box.
                advancedInto_ = static_cast<int>(i) + 1;
            }
            emit edited();
        });
        octets_[i] = edit;
        layout->addWidget(edit);
    }
    layout->addStretch();
    setFocusProxy(octets_[0]);
}

void Ipv4AddressEdit::setAddress(const platform::Ipv4Address& address)
{
    for (std::size_t i = 0; i < octets_.size(); ++i)
        octets_[i]->setText(QString::number(address.octets[i]));
}

void Ipv4AddressEdit::clear()
{
    for (QLineEdit* edit : octets_)
        edit->clear();
}

platform::Ipv4Address Ipv4AddressEdit::address() const
{
    platform::Ipv4Address address;
    for (std::size_t i = 0; i < octets_.size(); ++i)
        address.octets[i] = static_cast<std::uint8_t>(octets_[i]->text().toInt());
    return address;
}

int Ipv4AddressEdit::boxIndex(const QObject* watched) const
{
    for (std::size_t i = 0; i < octets_.size(); ++i)
        if (octets_[i] == watched)
            return static_cast<int>(i);
    return -1;
}

void Ipv4AddressEdit::moveTo(int box, bool atEnd)
{
    QLineEdit* edit = octets_.at(static_cast<std::size_t>(box));
    edit->setFocus();
    if (atEnd)
        edit->end(false);
    else
        edit->selectAll();
}

bool Ipv4AddressEdit::pasteAddress(const QString& text)
{
    const auto address = platform::Ipv4Address::parse(text.trimmed().toStdString());
    if (!address)
        return false;
    setAddress(*address);
    advancedInto_ = -1;
    moveTo(static_cast<int>(octets_.size()) - 1, true);
    emit edited();
    return true;
}

bool Ipv4AddressEdit::eventFilter(QObject* watched, QEvent* event)
{
    const int box = boxIndex(watched);
    if (box < 0)
        return QWidget::eventFilter(watched, event);
    QLineEdit* edit = octets_[static_cast<std::size_t>(box)];
    // A click into a box, like Tab, takes the whole octet, so that what is typed
    // replaces it rather than landing beside the digits already there. (The
    // toolkit may give the focus before it hands over the press.)
    if (event->type() == QEvent::FocusIn)
        clickedInto_ = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason ? box : -1;
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        (!edit->hasFocus() || std::exchange(clickedInto_, -1) == box)) {
        advancedInto_ = -1;
        moveTo(box, false);
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool first = box == 0;
    const bool last = box + 1 == static_cast<int>(octets_.size());
    // A whole dotted address pasted into any box fills all four.
    if (key->matches(QKeySequence::Paste)) {
        const QString pasted = QGuiApplication::clipboard()->text();
        if (pasteAddress(pasted))
            return true;
        if (pasted.contains(QLatin1Char('.'))) {
            // Dotted, but no address: nothing of it goes into a box.
            QApplication::beep();
            return true;
        }
    }
    const bool justAdvanced = advancedInto_ == box;
    advancedInto_ = -1;
    if (key->text() == ".") {
        // A dot never enters a box; it ends the octet being typed (an empty one
        // is 0). Right after three digits moved on by themselves it does nothing.
        if (!last && !justAdvanced)
            moveTo(box + 1, false);
        return true;
    }
    const bool atStart = edit->cursorPosition() == 0 && !edit->hasSelectedText();
    const bool atEnd = edit->cursorPosition() == edit->text().size() && !edit->hasSelectedText();
    if (!first && atStart && (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Left)) {
        moveTo(box - 1, true);
        return true;
    }
    if (!last && atEnd && key->key() == Qt::Key_Right) {
        moveTo(box + 1, false);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace console::ui
