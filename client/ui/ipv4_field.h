#pragma once
// An IPv4 address field: four octet boxes separated by dots. "." or a full
// octet moves on to the next box; an empty box counts as 0.
//
// Thread contract: the GUI thread only.

#include "platform/ipv4.h"

#include <QLineEdit>
#include <QWidget>
#include <array>

namespace client::ui {

class Ipv4Field : public QWidget {
    Q_OBJECT
public:
    explicit Ipv4Field(QWidget* parent = nullptr);
    void setAddress(platform::Ipv4Address address);
    platform::Ipv4Address address() const;
    QLineEdit* octetEdit(int i) const { return octets_[static_cast<std::size_t>(i)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLineEdit*, 4> octets_{};
};

} // namespace client::ui
