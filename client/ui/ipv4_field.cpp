#include "ipv4_field.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>

namespace client::ui {

Ipv4Field::Ipv4Field(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        if (i > 0)
            layout->addWidget(new QLabel(".", this));
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString("octet%1").arg(i));
        edit->setValidator(new QIntValidator(0, 255, edit));
        edit->setMaxLength(3);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance("0000") + 8);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            if (text.size() == 3 && i + 1 < octets_.size()) {
                octets_[i + 1]->setFocus();
                octets_[i + 1]->selectAll();
            }
        });
        octets_[i] = edit;
        layout->addWidget(edit);
    }
    setFocusProxy(octets_[0]);
}

bool Ipv4Field::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->text() == ".") {
        for (std::size_t i = 0; i + 1 < octets_.size(); ++i) {
            if (watched == octets_[i]) {
                octets_[i + 1]->setFocus();
                octets_[i + 1]->selectAll();
                return true;
            }
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Ipv4Field::setAddress(platform::Ipv4Address address)
{
    for (std::size_t i = 0; i < octets_.size(); ++i)
        octets_[i]->setText(QString::number(address.octets[i]));
}

platform::Ipv4Address Ipv4Field::address() const
{
    platform::Ipv4Address address;
    for (std::size_t i = 0; i < octets_.size(); ++i)
        address.octets[i] = static_cast<std::uint8_t>(qBound(0, octets_[i]->text().toInt(), 255));
    return address;
}

} // namespace client::ui
