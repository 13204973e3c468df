#pragma once
// BenchFolder: the benchmark's temporary folder. "console" holds the console's
// data files (the stations 127.0.0.2 ... on PC1 ..., the rate table and a few
// sale items), "stations" one folder per station engine, "runtime" the Qt
// runtime folder when the desktop gives none. The owner removes it all.

#include <filesystem>

namespace console::ui::bench {

class BenchFolder {
public:
    // A new folder with the console's files for `stations` stations.
    static BenchFolder create(int stations);
    // A folder made by create() in an earlier stage of this program.
    static BenchFolder adopt(std::filesystem::path root);

    BenchFolder(BenchFolder&& other) noexcept;
    BenchFolder& operator=(BenchFolder&&) = delete;
    ~BenchFolder();

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path console() const { return root_ / "console"; }
    std::filesystem::path stations() const { return root_ / "stations"; }
    std::filesystem::path runtime() const { return root_ / "runtime"; }
    // This object no longer removes the folder (another stage owns it now).
    void release() { root_.clear(); }

private:
    explicit BenchFolder(std::filesystem::path root) : root_(std::move(root)) {}

    std::filesystem::path root_;
};

} // namespace console::ui::bench
