#pragma once
// How the data layer tells the operator about a problem. The console's window
// implements it with a message box; tests and tools record or print the texts.
// Called on the window thread only.

#include <string>

namespace store {

class StoreNotifier {
public:
    virtual ~StoreNotifier() = default;
    virtual void showMessage(const std::string& text) = 0;
};

} // namespace store
