#include "client/screen_rect.h"

namespace client {

ScreenRect fullScreenRect(const ScreenGeometry& screen)
{
    const auto& d = screen.desktop;
    return {d.left - 1, d.top - 2, d.right + 1, d.bottom + 1};
}

ScreenRect panelRect(const ScreenGeometry& screen)
{
    int right = fullScreenRect(screen).right;
    int bottom = screen.workArea.bottom;
    return {right - kPanelSize, bottom - kPanelSize, right, bottom};
}

} // namespace client
