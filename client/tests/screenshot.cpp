#include "screenshot.h"

#include "process.h"
#include "x11_desktop.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace client::test {

long Screenshot::desktopPixels(int x, int y, int w, int h) const
{
    long found = 0;
    for (int row = std::max(0, y); row < std::min(height, y + h); ++row) {
        for (int col = std::max(0, x); col < std::min(width, x + w); ++col) {
            const unsigned char* p = &rgb[(static_cast<std::size_t>(row) * width + col) * 3];
            // The lock is black with red text: smoothed red on black keeps green and blue at 0.
            if (p[1] != 0 || p[2] != 0)
                ++found;
        }
    }
    return found;
}

std::optional<Screenshot> takeScreenshot(Display* display, const std::filesystem::path& folder)
{
    XWindowAttributes root{};
    if (!XGetWindowAttributes(display, DefaultRootWindow(display), &root))
        return std::nullopt;
    auto file = folder / "screen.rgb";
    std::filesystem::remove(file);
    if (runToEnd({"/usr/bin/import", "-display", DisplayString(display), "-window", "root", "-depth", "8",
                  "rgb:" + file.string()}) != 0)
        return std::nullopt;
    Screenshot shot;
    shot.width = root.width;
    shot.height = root.height;
    std::ifstream in(file, std::ios::binary);
    shot.rgb.assign(std::istreambuf_iterator<char>(in), {});
    if (shot.rgb.size() != static_cast<std::size_t>(shot.width) * shot.height * 3)
        return std::nullopt;
    return shot;
}

CoverCheck waitUntilCovered(Display* d, const std::filesystem::path& folder, std::optional<int> width)
{
    CoverCheck check;
    check.covered = eventually([&] {
        check.shot = takeScreenshot(d, folder);
        return check.shot && (!width || check.shot->width == *width) && check.shot->desktopPixels() == 0;
    });
    return check;
}

} // namespace client::test
