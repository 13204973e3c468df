#pragma once
// The lock tests' dealings with an X server: xdotool, polling, and the X
// questions a hostile customer's tools would ask. Includes the server, the
// desktop and the screenshot helpers, so that a test needs this one header.
//
// Thread contract: the test's main thread.

#include "process.h"
#include "screenshot.h"
#include "window_manager_desktop.h"
#include "x_server.h"

#include <chrono>
#include <functional>
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

// X questions a hostile customer's tools would ask.
bool keyboardGrabbedByOthers(Display* d);
bool pointerGrabbedByOthers(Display* d);
// Tries to grab Alt+Tab on the root window (and lets it go again); the X
// error it met, 0 when the grab was taken (BadAccess: another client holds it).
int altTabGrabError(Display* d);
// The process that owns the topmost window of the screen (its _NET_WM_PID), or -1.
long topWindowPid(Display* d);
// The mapped child of the root that process `pid` shows exactly over the
// rectangle (a lock cover), or 0.
unsigned long windowOfPidAt(Display* d, long pid, int x, int y, int width, int height);
// The windows of a process, with their parent, map state and size: the
// message of a failed check.
std::string describeWindows(Display* d, long pid);
// Paints the root window in a colour no lock uses.
void paintDesktop(Display* d);
// A new keyboard, as if plugged in: a master keyboard with its own test
// keyboard. False when the server was not asked.
bool plugInKeyboard(Display* d, const char* name);
// Whether that keyboard is still there.
bool keyboardPlugged(Display* d, const char* name);
// Takes that keyboard away again; its keys go back to the first keyboard.
// False when there was none to take away.
bool unplugKeyboard(Display* d, const char* name);
// A mapped managed window of the given WM_CLASS class.
bool windowOfClassMapped(Display* d, const std::string& windowClass);

} // namespace client::test
