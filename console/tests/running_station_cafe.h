#pragma once
// RunningStationCafe: the fixture of the tests about bills on a running
// station. Three stations, Coffee at 1.50 and a Sandwich priced at each sale
// on the item panel, one printer, and station 2 (index 1) started a minute and
// a second ago, so that its access charge is 1.50. Used on the test's thread.

#include "three_station_cafe.h"

namespace console::test {

class RunningStationCafe : public ThreeStationCafe {
protected:
    void writeTables() override
    {
        writeSaleItems(folder.path(), {{"Coffee", 1.50, true}, {"Sandwich", 0.0, false}});
        writePrinters(folder.path(), {{"SERVER", "Laser", 0.10}});
    }

    void SetUp() override
    {
        ThreeStationCafe::SetUp();
        if (HasFatalFailure())
            return;
        startStation(1);
        rig.tickAfter(61s);
    }
};

} // namespace console::test
