#pragma once
// Test helpers: a fresh folder per test, small files written and read whole.

#include "testsupport/temp_folder.h"
#include "testsupport/whole_file.h"

#include <filesystem>

namespace installer::test {

namespace fs = std::filesystem;

using testsupport::readFile;
using testsupport::TempFolder;
using testsupport::writeFile;

} // namespace installer::test
