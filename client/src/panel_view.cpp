#include "client/panel_view.h"

namespace client {

namespace panel {
bool inEndSessionBox(int x, int y) { return 9 < x && x < 191 && 89 < y && y < 151; }
bool inToggleBox(int x, int y) { return 9 < x && x < 191 && 159 < y && y < 181; }
} // namespace panel

WindowPoint lockedTextOrigin(const std::optional<WindowPoint>& pointer, int windowWidth, int windowHeight,
                             int textWidth, int textHeight)
{
    WindowPoint centre = pointer.value_or(WindowPoint{windowWidth / 2, windowHeight / 2});
    return {centre.x - textWidth / 2, centre.y - textHeight / 2};
}

} // namespace client
