#pragma once
// What the station's window shows, worked out by the engine so that the window
// layer only draws: the locked screen's text position, the session panel's
// texts, and the panel's geometry in window pixels.
//
// Thread contract: plain values and functions without state; any thread.

#include <optional>
#include <string>

namespace client {

struct WindowPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const WindowPoint&, const WindowPoint&) = default;
};

// A rectangle in window pixels, edges as given (right and bottom exclusive).
struct PanelBox {
    int left, top, right, bottom;
};

namespace panel {
inline constexpr PanelBox kTitle{5, 4, 195, 195};
inline constexpr PanelBox kRowsFrame{10, 20, 190, 80};
inline constexpr PanelBox kMiddleRowFrame{10, 40, 190, 60};
inline constexpr WindowPoint kDurationAt{15, 22};
inline constexpr PanelBox kAccessCost{100, 22, 185, 195};
inline constexpr WindowPoint kExtrasLabelAt{15, 42};
inline constexpr PanelBox kExtras{100, 42, 185, 195};
inline constexpr WindowPoint kTotalLabelAt{15, 62};
inline constexpr PanelBox kTotal{100, 62, 185, 195};
inline constexpr PanelBox kEndSessionFrame{10, 90, 190, 150};
inline constexpr int kEndSessionTextTop = 100;
inline constexpr PanelBox kToggleFrame{10, 155, 190, 190};
inline constexpr int kToggleTextTop = 157;

// Where a press or release counts for a box (strict bounds).
bool inEndSessionBox(int x, int y);
bool inToggleBox(int x, int y);
} // namespace panel

struct PanelView {
    bool locked = true;
    bool setupMode = false;
    std::optional<WindowPoint> pointer; // last mouse position; none before the first move
    std::string lockedText;             // what the locked screen says

    // Panel texts; figures are the bytes as received (the currency sign is the byte 0x80).
    std::string title;
    bool showFigures = false;
    std::string duration;
    std::string accessCost;
    std::string extras;
    std::string total;
    std::string endSessionText; // lines separated by "\r\n"
    std::string toggleText;
};

// Top-left corner for the locked text of the given size so that its centre is
// the pointer (halves rounded toward zero); the window's centre before the
// first mouse move.
WindowPoint lockedTextOrigin(const std::optional<WindowPoint>& pointer, int windowWidth, int windowHeight,
                             int textWidth, int textHeight);

} // namespace client
