#pragma once
// A folder of its own for one test: made empty under the system's temporary
// folder when constructed, removed with everything in it when destroyed. The
// name holds a prefix (benchmarks name theirs), the process id, a counter and a
// random number, so tests running
// side by side in several processes never share one. One thread owns each
// TempFolder; several can be made on different threads at once.

#include <filesystem>
#include <string_view>

namespace testsupport {

class TempFolder {
public:
    explicit TempFolder(std::string_view prefix = "brisko-test-");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace testsupport
