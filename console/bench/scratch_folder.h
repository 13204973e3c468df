#pragma once
// ScratchFolder: a benchmark's folder under the system's temporary folder,
// named by a prefix and a random number, made when constructed and removed with
// everything in it when destroyed. Owned by one thread.

#include <filesystem>
#include <string>

namespace brisko::bench {

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace brisko::bench
