#include "scratch_folder.h"

#include <random>
#include <system_error>

namespace brisko::bench {

ScratchFolder::ScratchFolder(const std::string& prefix)
{
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored; // a benchmark ending must not throw over a folder it could not remove
    std::filesystem::remove_all(path_, ignored);
}

} // namespace brisko::bench
