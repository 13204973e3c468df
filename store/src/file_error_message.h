#pragma once
// The operator's messages about a failed file operation, with the cause number
// filled in: "Error (%d) opening file.", "Error (%d) writing file.", ...

#include "platform/shared_file.h"

#include <string>

namespace store {

inline constexpr const char* kOpeningFileError = "Error (%d) opening file.";
inline constexpr const char* kReadingFileError = "Error (%d) reading file.";
inline constexpr const char* kWritingFileError = "Error (%d) writing file.";

// `format` holds one %d, which takes the cause's number.
std::string fileErrorMessage(const char* format, platform::FileError cause);

} // namespace store
