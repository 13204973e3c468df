#pragma once
// Small files read and written whole (a key, a short list): read with a size
// limit, and replaced by a new file written beside the old one, synced and
// renamed over it, so that a power cut leaves the old content or the new,
// never half. A replaced file is readable and writable by its owner only.
//
// No state: safe from any thread, though two writers of the same file at once
// leave whichever renamed last.

#include "platform/result.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// The file's bytes, at most `limit` + 1 of them (more than `limit` means the
// file is larger), or the errno why it could not be read (ENOENT: there is none).
[[nodiscard]] Result<std::string, int> readSmallFile(const std::filesystem::path& file, std::size_t limit);

// False when any step fails; the old file, if any, then stays as it was.
[[nodiscard]] bool replaceSmallFile(const std::filesystem::path& file, std::string_view bytes);

} // namespace platform
