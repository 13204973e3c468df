#include "screen_covers.h"

#include <QGuiApplication>
#include <QScreen>

namespace client::ui {

ScreenCovers::ScreenCovers()
{
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &ScreenCovers::addScreen);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &ScreenCovers::removeScreen);
}

ScreenCovers::~ScreenCovers() = default;

void ScreenCovers::setShown(bool shown)
{
    if (shown == shown_)
        return;
    shown_ = shown;
    if (!shown) {
        covers_.clear();
        return;
    }
    for (QScreen* screen : QGuiApplication::screens())
        addScreen(screen);
}

std::vector<LockCover*> ScreenCovers::covers() const
{
    std::vector<LockCover*> all;
    for (const auto& [screen, cover] : covers_)
        all.push_back(cover.get());
    return all;
}

void ScreenCovers::addScreen(QScreen* screen)
{
    if (!shown_ || covers_.count(screen))
        return;
    auto cover = std::make_unique<LockCover>(*screen);
    cover->show();
    covers_[screen] = std::move(cover);
    disconnect(screen, &QScreen::geometryChanged, this, nullptr);
    connect(screen, &QScreen::geometryChanged, this, [this, screen] { fit(screen); });
    emit changed();
}

void ScreenCovers::removeScreen(QScreen* screen)
{
    disconnect(screen, nullptr, this, nullptr);
    if (covers_.erase(screen))
        emit changed();
}

void ScreenCovers::fit(QScreen* screen)
{
    auto found = covers_.find(screen);
    if (found == covers_.end())
        return;
    found->second->fitScreen();
    emit changed();
}

} // namespace client::ui
