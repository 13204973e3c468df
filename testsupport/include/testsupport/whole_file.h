#pragma once
// Whole files as byte strings, for tests that write a file before the code
// under test opens it or read back what it wrote. A missing file reads as "".
// No state: callable from any thread.

#include <filesystem>
#include <string>

namespace testsupport {

std::string readFile(const std::filesystem::path& file);
// Replaces the file's contents with exactly these bytes.
void writeFile(const std::filesystem::path& file, const std::string& bytes);

} // namespace testsupport
