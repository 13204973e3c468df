#pragma once
// Reading the console's files without disturbing it: read-only handles, no lock,
// nothing created. Used by the owner's tools.

#include "platform/shared_file.h"
#include "store/record_file.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace store {

struct FileImage {
    platform::FileError error = platform::FileError::None; // NotFound for a missing file
    std::vector<std::byte> bytes;

    bool ok() const { return error == platform::FileError::None; }
    bool missing() const { return error == platform::FileError::NotFound; }
};

FileImage readFileImage(const std::filesystem::path& path);

template <RecordCodec Codec>
struct RecordFileImage {
    platform::FileError error = platform::FileError::None;
    std::uint64_t size = 0;
    std::vector<typename Codec::Entry> entries;

    bool ok() const { return error == platform::FileError::None; }
    bool missing() const { return error == platform::FileError::NotFound; }
    std::uint64_t trailingBytes() const { return size % Codec::kRecordSize; }
};

// The records of a file read without locking it. A missing file is reported as
// NotFound with no entries (the console would create it empty).
template <RecordCodec Codec>
RecordFileImage<Codec> readRecordFile(const std::filesystem::path& folder)
{
    RecordFileImage<Codec> image;
    auto file = readFileImage(folder / Codec::kFileName);
    image.error = file.error;
    image.size = file.bytes.size();
    image.entries = decodeRecords<Codec>(file.bytes);
    return image;
}

} // namespace store
