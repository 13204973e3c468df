#pragma once
// A private X server for the lock's tests on a display number it picks itself:
// Xvfb, or Xorg with the dummy driver for real side-by-side monitors.
// Starting one points $DISPLAY of this process (and so of every child started
// afterwards) at it, and their Qt at X11.
//
// Thread contract: the test's main thread.

#include "process.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace client::test {

class XServer {
public:
    static std::unique_ptr<XServer> startXvfb(const std::string& screen = "1280x800x24");
    // Xorg with the dummy driver and one output of 1024x768 switched on (the
    // others can be added with xrandr); needs root. nullptr and `why` when it
    // cannot start.
    static std::unique_ptr<XServer> startDummyXorg(const std::filesystem::path& folder, std::string& why);
    ~XServer();

    const std::string& name() const { return name_; }
    // The test's own connection.
    Display* display() const { return display_; }

private:
    XServer() = default;
    static std::unique_ptr<XServer> start(std::vector<std::string> argv, int displayFdWrite, int displayFdRead);

    std::unique_ptr<Process> process_;
    std::string name_;
    Display* display_ = nullptr;
};

} // namespace client::test
