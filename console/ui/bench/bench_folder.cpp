#include "bench_folder.h"

#include "bench_cafe.h"
#include "quiet_services.h"

#include <random>
#include <stdexcept>
#include <string>

namespace console::ui::bench {

BenchFolder BenchFolder::create(int stations)
{
    std::random_device random;
    BenchFolder folder(std::filesystem::temp_directory_path() / ("bench-window-" + std::to_string(random())));
    std::filesystem::create_directories(folder.console());
    std::filesystem::create_directories(folder.stations());
    std::filesystem::create_directories(folder.runtime());
    std::filesystem::permissions(folder.runtime(), std::filesystem::perms::owner_all);

    console::bench::QuietServices notifier("store");
    if (!console::bench::writeConsoleTables(folder.console(), stations, console::bench::standardRates(),
                                            {{"Coffee", 1.50, true},
                                             {"Tea & Cake", 3.20, true},
                                             {"Repairs", 0.0, false},
                                             {"Soda", 1.00, true},
                                             {"Sandwich", 2.80, true},
                                             {"USB stick", 6.00, true}},
                                            notifier))
        throw std::runtime_error("the console's tables could not be written in " + folder.console().string());
    return folder;
}

BenchFolder BenchFolder::adopt(std::filesystem::path root) { return BenchFolder(std::move(root)); }

BenchFolder::BenchFolder(BenchFolder&& other) noexcept : root_(std::exchange(other.root_, {})) {}

BenchFolder::~BenchFolder()
{
    if (root_.empty())
        return;
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

} // namespace console::ui::bench
