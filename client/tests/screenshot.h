#pragma once
// What the screen of the test's X server shows, taken with `import -window root`.
//
// Thread contract: the test's main thread.

#include <filesystem>
#include <optional>
#include <vector>

typedef struct _XDisplay Display;

namespace client::test {

// What the screen shows, from `import -window root`: RGB bytes, row by row.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    // Pixels inside (x, y, w, h) that are neither black nor the lock's red.
    long desktopPixels(int x, int y, int w, int h) const;
    long desktopPixels() const { return desktopPixels(0, 0, width, height); }
};
std::optional<Screenshot> takeScreenshot(Display* display, const std::filesystem::path& folder);

// Screenshots until one shows none of the desktop and, when given, is
// `width` pixels wide (at most 5 s): the last one taken, and whether it did.
struct CoverCheck {
    std::optional<Screenshot> shot;
    bool covered = false;
};
CoverCheck waitUntilCovered(Display* d, const std::filesystem::path& folder, std::optional<int> width = std::nullopt);

} // namespace client::test
