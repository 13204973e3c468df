#pragma once
// How the data layer tells the operator about a problem. The console's window
// implements it with a message box; tests and tools record or print the texts.
// Called on the window thread only.

#include <filesystem>
#include <string>

namespace store {

class StoreNotifier {
public:
    virtual ~StoreNotifier() = default;
    virtual void showMessage(const std::string& text) = 0;
    // A data file could not be opened, read or written: the operator sees
    // `text`; the console also records it, with the file's path, where the
    // machine's administrator looks.
    virtual void fileFailed(const std::filesystem::path& /*file*/, const std::string& text) { showMessage(text); }
};

} // namespace store
