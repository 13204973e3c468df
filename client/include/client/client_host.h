#pragma once
// The window layer's side of the engine's work: telling the user something. The program's window
// implements it; tests record or drop what it is asked.
//
// Thread contract: called on the window thread only.

#include <string>

namespace client {

class ClientHost {
public:
    virtual ~ClientHost() = default;
    virtual void showMessage(const std::string& text) = 0;
};

} // namespace client
