#pragma once
// The cafe the console benchmarks set up: stations 0 .. n-1 are PC1 .. PCn on
// the loopback addresses 127.0.0.2 and up, the console's tables are written
// before it starts, and each station is a real station client engine in a
// folder of its own. Plain functions, called on the benchmark's own thread.

#include "console/console_engine.h"

#include "client/client_engine.h"
#include "platform/clock.h"
#include "platform/ipv4.h"
#include "store/rate_table.h"
#include "store/sale_item_table.h"
#include "store/store_notifier.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace console::bench {

class QuietServices;

// 127.0.0.(index + 2): the address station `index` binds (0-based; 99 stations fit).
platform::Ipv4Address stationAddress(int index);

// 00:30:00 once at 1.50, 00:15:00 twice at 0.50, then 01:00:00 at 2.00 for ever.
std::vector<store::RateBlock> standardRates();

// Writes the console's client table (PC1 .. PCn on the stations' addresses), its
// rate table and, when there are any, its sale items. False when a table could
// not be read or written.
[[nodiscard]] bool writeConsoleTables(const std::filesystem::path& folder, int stations,
                                      const std::vector<store::RateBlock>& rates,
                                      const std::vector<store::SaleItem>& items, store::StoreNotifier& notifier);

// A console engine over the tables in `folder`, served by `services`, that will
// listen on `address` at a port the system picks; not started yet.
std::unique_ptr<console::ConsoleEngine> makeConsole(const std::filesystem::path& folder, platform::Ipv4Address address,
                                                    const platform::Clock& clock, QuietServices& services);

// Station `index`'s client engine in `folder` (made when missing), set up to reach
// the console at `console` on `port` from its own address, started on a 1280 x 800
// screen.
std::unique_ptr<client::ClientEngine> startStation(const std::filesystem::path& folder, int index,
                                                   platform::Ipv4Address console, std::uint16_t port,
                                                   QuietServices& services);

} // namespace console::bench
