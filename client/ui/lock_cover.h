#pragma once
// One screen's cover while the station is locked: a black window over the
// whole screen that bypasses the window manager, so that no virtual desktop,
// window list or menu of the window manager can move, hide or close it.
//
// Thread contract: the GUI thread only.

#include <QWidget>

namespace client::ui {

class LockCover final : public QWidget {
    Q_OBJECT
public:
    explicit LockCover(QScreen& screen);
    // Follows the screen's place and size.
    void fitScreen();
    QScreen& coveredScreen() const { return screen_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QScreen& screen_;
};

} // namespace client::ui
