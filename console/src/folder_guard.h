#pragma once
// A console holds its data files against other writers for as long as it runs.
// Before a second console opens anything it looks whether one of them is held,
// so that it does not run on empty tables beside the first.

#include <filesystem>

namespace console {

// True when another program holds one of the console's data files in `folder`.
bool consoleFilesHeldElsewhere(const std::filesystem::path& folder);

} // namespace console
