#include "testsupport/temp_folder.h"

#include <unistd.h>

#include <atomic>
#include <random>
#include <string>
#include <system_error>

namespace testsupport {

TempFolder::TempFolder(std::string_view prefix)
{
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    // A folder left behind by an earlier process of the same id is never reused.
    do {
        path_ = base / (std::string(prefix) + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
                        std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace testsupport
