#include "bench_cafe.h"

#include "quiet_services.h"

#include "store/client_table.h"

#include <fstream>
#include <string>

namespace console::bench {

platform::Ipv4Address stationAddress(int index) { return {{127, 0, 0, static_cast<std::uint8_t>(index + 2)}}; }

std::vector<store::RateBlock> standardRates()
{
    return {{"00:30:00", 1, 1.50}, {"00:15:00", 2, 0.50}, {"01:00:00", store::kRepeatBlock, 2.00}};
}

bool writeConsoleTables(const std::filesystem::path& folder, int stations, const std::vector<store::RateBlock>& rates,
                        const std::vector<store::SaleItem>& items, store::StoreNotifier& notifier)
{
    store::ClientTable clients(folder, notifier);
    if (!clients.load())
        return false;
    for (int i = 0; i < stations; ++i)
        clients.entries().push_back({"PC" + std::to_string(i + 1), stationAddress(i)});
    if (!clients.save())
        return false;
    store::RateTable rateTable(folder);
    if (!rateTable.load())
        return false;
    rateTable.rows() = rates;
    if (!rateTable.save())
        return false;
    if (items.empty())
        return true;
    store::SaleItemTable itemTable(folder);
    if (!itemTable.load())
        return false;
    itemTable.items() = items;
    return itemTable.save();
}

std::unique_ptr<console::ConsoleEngine> makeConsole(const std::filesystem::path& folder, platform::Ipv4Address address,
                                                    const platform::Clock& clock, QuietServices& services)
{
    console::ConsoleSettings settings;
    settings.makeKey = false; // the simulated stations hold no key
    settings.folder = folder;
    settings.link.listenAddress = address;
    settings.link.port = 0;
    return std::make_unique<console::ConsoleEngine>(
        settings, clock, console::ConsoleServices{services, services, services, services, services, services});
}

std::unique_ptr<client::ClientEngine> startStation(const std::filesystem::path& folder, int index,
                                                   platform::Ipv4Address console, std::uint16_t port,
                                                   QuietServices& services)
{
    std::filesystem::create_directories(folder);
    // The station's configuration file holds the console's address, four bytes.
    std::ofstream(folder / "TambloConfig", std::ios::binary)
        .write(reinterpret_cast<const char*>(console.octets.data()), 4);
    client::EngineSettings settings;
    settings.folders = client::StationFolders::allIn(folder);
    settings.link.ownAddress = stationAddress(index);
    settings.link.mainPort = port;
    auto engine = std::make_unique<client::ClientEngine>(services, services, settings);
    engine->start({{0, 0, 1280, 800}, {0, 0, 1280, 760}});
    return engine;
}

} // namespace console::bench
