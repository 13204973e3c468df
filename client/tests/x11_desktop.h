#pragma once
// The desktop of the lock's tests on an X server: openbox with a tint2 panel,
// xdotool, screenshots, and the X questions a hostile customer's tools would
// ask.
//
// Thread contract: the test's main thread.

#include "process.h"
#include "x_server.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace client::test {

// Polls `done` every 20 ms until it holds; false when `limit` passes first.
bool eventually(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5));

// Children started afterwards that draw with Qt use its X11 platform, even
// when the test run asked Qt for an offscreen one (QT_QPA_PLATFORM): the
// station must really hold this X server.
void useX11ForChildren();

// xdotool with these arguments, run to its end.
void xdotool(std::vector<std::string> args, ChildOutput output = ChildOutput::Discarded);
// Types `text` into the focused window, `perKey` apart, then Return.
void typeAndEnter(const std::string& text, std::chrono::milliseconds perKey,
                  ChildOutput output = ChildOutput::Discarded);

// openbox and tint2, both running and managing the display.
class WindowManagerDesktop {
public:
    explicit WindowManagerDesktop(Display* display);
    // openbox owns the window manager selection and the panel is mapped.
    bool ready(std::chrono::milliseconds limit = std::chrono::seconds(10));

private:
    Display* display_;
    Process openbox_;
    std::unique_ptr<Process> tint2_;
};

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

// X questions a hostile customer's tools would ask.
bool keyboardGrabbedByOthers(Display* d);
bool pointerGrabbedByOthers(Display* d);
// Tries to grab Alt+Tab on the root window (and lets it go again); the X
// error it met, 0 when the grab was taken (BadAccess: another client holds it).
int altTabGrabError(Display* d);
// The process that owns the topmost window of the screen (its _NET_WM_PID), or -1.
long topWindowPid(Display* d);
// The windows of a process, with their parent, map state and size: the
// message of a failed check.
std::string describeWindows(Display* d, long pid);
// Paints the root window in a colour no lock uses.
void paintDesktop(Display* d);
// A new keyboard, as if plugged in: a master keyboard with its own test
// keyboard. False when the server was not asked.
bool plugInKeyboard(Display* d, const char* name);
// Takes that keyboard away again; its keys go back to the first keyboard.
// False when there was none to take away.
bool unplugKeyboard(Display* d, const char* name);
// A mapped managed window of the given WM_CLASS class.
bool windowOfClassMapped(Display* d, const std::string& windowClass);

} // namespace client::test
