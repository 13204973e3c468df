#pragma once
// StationFleet: the station side of the window benchmark, run in a process of
// its own so that its work and memory are not the console's. It holds one real
// station client engine per station, each bound to 127.0.0.(i + 2), ticks them
// all every 10 ms like the station program's timer, and obeys one-line commands
// on its standard input:
//   "stop"  every unlocked station ends its session (END SESSION, confirmed)
//           at once; answers "stopped T0 T1 N" on standard output: steady-clock
//           nanoseconds before the first and after the last of the N stations
//   "quit"  the engines are closed and run() returns
// End of input counts as "quit". Single thread.

#include <cstdint>
#include <filesystem>

namespace console::ui::bench {

class StationFleet {
public:
    StationFleet(int stations, std::uint16_t consolePort, std::filesystem::path folders);

    // Runs until "quit"; the process's exit code.
    int run();

private:
    int stations_;
    std::uint16_t consolePort_;
    std::filesystem::path folders_;
};

} // namespace console::ui::bench
