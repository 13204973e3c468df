#pragma once
// Rectangles in screen pixels, edges as the desktop reports them: right and
// bottom lie just beyond the last pixel.
//
// Thread contract: plain values and functions without state; any thread.

namespace client {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

struct ScreenGeometry {
    ScreenRect desktop;  // the whole screen
    ScreenRect workArea; // the screen without the desktop's panels
};

inline constexpr int kPanelSize = 200;

// The locked window: the desktop grown by 1 pixel left, 2 top, 1 right, 1 bottom,
// so that no frame pixel of the screen stays uncovered.
ScreenRect fullScreenRect(const ScreenGeometry& screen);
// The session panel: 200 by 200, right edge on the full-screen rectangle's
// right edge, bottom edge on the bottom of the work area.
ScreenRect panelRect(const ScreenGeometry& screen);

} // namespace client
