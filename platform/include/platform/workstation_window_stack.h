#pragma once
// The order of the top-level windows on an X11 display, for the locked
// station: its windows must stay above every window that appears later. A
// connection of its own watches the root window for windows mapped, moved in
// the order or created, and puts a given list of windows back on top.
//
// The windows handled here are children of the root window (they bypass the
// window manager, so it does not put them in frames of its own).
//
// Thread contract: one thread; the object owns its own display connection.

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

using WindowId = std::uint32_t;

class WindowStack {
public:
    explicit WindowStack(const char* displayName = nullptr);
    ~WindowStack();
    WindowStack(const WindowStack&) = delete;
    WindowStack& operator=(const WindowStack&) = delete;

    bool hasDisplay() const;
    // Readable when notices wait; -1 without a display.
    int fd() const;
    // Takes every waiting notice; true when one of them could have changed
    // which windows are on top.
    bool takeNotices();
    // Whether `windows` (the top one first) are the topmost windows, in that order.
    bool onTop(const std::vector<WindowId>& windows);
    // Stacks `windows` (the top one first) above all other windows.
    void raise(const std::vector<WindowId>& windows);
    // Makes `window` a mapped child of the root at the given place and size
    // when it is not: a window manager letting go of a window (out of its
    // frame, back to its old size) can leave it unmapped. True when it had to.
    bool restore(WindowId window, int x, int y, int width, int height);

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
};

} // namespace platform
