#pragma once
// The owner's handle on one of the console's files: opened when first needed
// and then kept, so that nobody else writes the file while the console runs.
// The caller's thread, which owns the handle.

#include "platform/shared_file.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

namespace store {

// Opens `file` as the owner of `path` unless it is open already; whether it is open now.
inline bool openOwnedOnce(platform::SharedFile& file, const std::filesystem::path& path)
{
    if (!file.isOpen())
        file = platform::SharedFile::openOwned(path).value_or(platform::SharedFile{});
    return file.isOpen();
}

// The whole content, the file opened first when need be. A failed read lets the
// file go, so that the next call starts over.
inline std::optional<std::vector<std::byte>> readOwned(platform::SharedFile& file, const std::filesystem::path& path)
{
    if (!openOwnedOnce(file, path))
        return std::nullopt;
    auto bytes = file.readAll();
    if (!bytes)
        file.close();
    return bytes;
}

} // namespace store
