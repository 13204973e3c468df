#pragma once
// Whether the desktop's display server still takes connections, judged from
// the environment a graphical program would use (DISPLAY, WAYLAND_DISPLAY),
// without speaking its protocol. A supervisor asks this before starting its
// program again, so that a desktop session that has ended does not start it
// over and over. No state; safe from any thread.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The local socket of an X display name (":0", ":1.0", "unix:2"); empty for a
// display on another host or a name that is not understood.
std::string x11DisplaySocketPath(const std::string& display);

// True when a local display server named by the environment takes a
// connection: the X server of DISPLAY, or the compositor of WAYLAND_DISPLAY.
// An X display on another host counts as answering (it cannot be probed
// cheaply); no display at all does not. A program told to draw without a
// display (QT_QPA_PLATFORM offscreen or minimal) needs none.
bool displayServerAnswers();

// The authority file ("-auth FILE") of the local X server of `display`, as
// the display manager started it: found among the running processes, so
// that a service started outside the desktop session can reach the display
// whichever display manager (lightdm, gdm3, ...) runs it. nullopt when no
// such server runs or it was started without one.
std::optional<std::filesystem::path> xServerAuthority(const std::string& display);
// The same, from one command line (program and arguments).
std::optional<std::filesystem::path> xServerAuthorityIn(const std::vector<std::string>& commandLine,
                                                        const std::string& display);

} // namespace platform
