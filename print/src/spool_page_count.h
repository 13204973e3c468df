#pragma once
// The page count a print job's spool data carries itself: the last PAGES="n"
// attribute within the final 1023 bytes of the data file.

#include <filesystem>

namespace print {

// The bytes at the end of a spool file that are searched.
inline constexpr std::size_t kSpoolTailBytes = 1023;

// The page count of the data file, or 0 when the file cannot be read or holds
// no such attribute. Reads the tail in one pass.
int SpoolPageCount(const std::filesystem::path& dataFile);

// The count within a tail already read (the same rule, for any text).
int pageCountInTail(std::string_view tail);

// CUPS keeps a job's first document as "d" + the id in five digits + "-001".
std::filesystem::path spoolDataFile(const std::filesystem::path& spoolFolder, int jobId);

} // namespace print
