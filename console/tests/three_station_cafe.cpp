#include "three_station_cafe.h"

namespace console::test {

void ThreeStationCafe::writeTables() { writeSaleItems(folder.path(), {{"Coffee", 1.50, true}}); }

void ThreeStationCafe::SetUp()
{
    writeClients(folder.path(), 3);
    writeStandardRates(folder.path());
    writeTables();
    rig.startConsole();
    cafe = std::make_unique<Cafe>(rig);
    cafe->addStations(3);
    ASSERT_TRUE(cafe->allReady());
}

void ThreeStationCafe::startStation(int i) { ASSERT_TRUE(cafe->startSession(i)); }

} // namespace console::test
