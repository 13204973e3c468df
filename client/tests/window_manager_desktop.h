#pragma once
// openbox with a tint2 panel on the test's X server: the desktop a customer
// would try to reach from under the lock.
//
// Thread contract: the test's main thread.

#include "process.h"

#include <chrono>
#include <memory>

typedef struct _XDisplay Display;

namespace client::test {

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

} // namespace client::test
