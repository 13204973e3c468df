#pragma once
// The cafe's key kept in a file of its own: its code and a newline, readable
// and writable by the file's owner only. A write replaces the file whole, so
// that a power cut leaves either the old key or the new one, never half of one.
//
// No state: safe from any thread, though two writers of the same file at once
// leave whichever renamed last.

#include "link/cafe_key.h"

#include <filesystem>
#include <optional>
#include <string>

namespace stationlink {

struct CafeKeyFileReading {
    std::optional<CafeKey> key;
    // Empty when the key was read or the file is missing; otherwise one
    // sentence for the owner on why there is no key.
    std::string problem;
};

// Reads the code, ignoring whitespace around it.
CafeKeyFileReading readCafeKeyFile(const std::filesystem::path& file);

// Writes the key's code to a new file beside `file` (created owner-only),
// syncs it and renames it over `file`. False when any step fails; the old
// file, if any, then stays as it was.
[[nodiscard]] bool writeCafeKeyFile(const std::filesystem::path& file, const CafeKey& key);

} // namespace stationlink
