#include "store/read_only_file.h"

namespace store {

FileImage readFileImage(const std::filesystem::path& path)
{
    FileImage image;
    auto file = platform::SharedFile::openReader(path);
    if (!file) {
        image.error = file.error();
        return image;
    }
    auto bytes = file->readAll();
    if (!bytes) {
        image.error = platform::FileError::Generic;
        return image;
    }
    image.bytes = std::move(*bytes);
    return image;
}

} // namespace store
