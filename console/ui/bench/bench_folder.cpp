#include "bench_folder.h"

#include "store/client_table.h"
#include "store/rate_table.h"
#include "store/sale_item_table.h"
#include "store/store_notifier.h"

#include <cstdio>
#include <random>
#include <string>

namespace brisko::bench {

namespace {

class PrintingNotifier final : public store::StoreNotifier {
public:
    void showMessage(const std::string& text) override { std::fprintf(stderr, "store: %s\n", text.c_str()); }
};

} // namespace

BenchFolder BenchFolder::create(int stations)
{
    std::random_device random;
    BenchFolder folder(std::filesystem::temp_directory_path() / ("bench-window-" + std::to_string(random())));
    std::filesystem::create_directories(folder.console());
    std::filesystem::create_directories(folder.stations());
    std::filesystem::create_directories(folder.runtime());
    std::filesystem::permissions(folder.runtime(), std::filesystem::perms::owner_all);

    PrintingNotifier notifier;
    store::ClientTable clients(folder.console(), notifier);
    clients.load();
    for (int i = 0; i < stations; ++i)
        clients.entries().push_back({"PC" + std::to_string(i + 1), {{127, 0, 0, static_cast<std::uint8_t>(i + 2)}}});
    clients.save();
    store::RateTable rates(folder.console());
    rates.load();
    rates.rows() = {{"00:30:00", 1, 1.50}, {"00:15:00", 2, 0.50}, {"01:00:00", -1, 2.00}};
    rates.save();
    store::SaleItemTable items(folder.console());
    items.load();
    items.items() = {{"Coffee", 1.50, true}, {"Tea & Cake", 3.20, true}, {"Repairs", 0.0, false},
                     {"Soda", 1.00, true},   {"Sandwich", 2.80, true},   {"USB stick", 6.00, true}};
    items.save();
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

} // namespace brisko::bench
