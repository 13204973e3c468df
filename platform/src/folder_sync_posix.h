#pragma once
// Syncing the folder of a file just renamed into place, so that the new name
// survives a power cut. Shared by the files that are replaced whole.
// No state: any thread.

#include <filesystem>

namespace platform {

// False when the folder could not be opened or synced.
bool syncFolderOf(const std::filesystem::path& file);

} // namespace platform
