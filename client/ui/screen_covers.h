#pragma once
// A lock cover on every screen while shown: screens added, removed or
// resized while the station is locked are followed at once.
//
// Thread contract: the GUI thread only.

#include "lock_cover.h"

#include <QObject>
#include <map>
#include <memory>
#include <vector>

class QScreen;

namespace client::ui {

class ScreenCovers final : public QObject {
    Q_OBJECT
public:
    ScreenCovers();
    ~ScreenCovers() override;

    void setShown(bool shown);
    bool shown() const { return shown_; }
    // The covers, one per screen, while shown.
    std::vector<LockCover*> covers() const;

signals:
    // A cover came, went or moved: the window order needs a look.
    void changed();

private:
    void addScreen(QScreen* screen);
    void removeScreen(QScreen* screen);
    void fit(QScreen* screen);

    bool shown_ = false;
    std::map<QScreen*, std::unique_ptr<LockCover>> covers_;
};

} // namespace client::ui
