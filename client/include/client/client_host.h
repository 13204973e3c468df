#pragma once
// The window layer's side of the engine's work: keeping the screen alive while
// the link waits, and telling the user something. The program's window
// implements it; tests record or drop what it is asked.
//
// Thread contract: called on the window thread only.

#include <string>

namespace client {

class ClientHost {
public:
    virtual ~ClientHost() = default;
    // Handles pending window events (painting, mouse, keys) without waiting;
    // the engine's own tick must not run from inside it. The station's link
    // no longer waits, so it no longer calls this.
    virtual void pumpEvents() = 0;
    virtual void showMessage(const std::string& text) = 0;
};

} // namespace client
