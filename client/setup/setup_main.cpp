// tamblo-setup: the station's own settings from a root shell; see
// client/station_setup_command.h.
#include "client/station_setup_command.h"

#include <iostream>

int main(int argc, char** argv)
{
    return client::runStationSetup(std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout, std::cerr);
}
