#pragma once
// FleetProcess: the console side of the station fleet. Starts this program
// again as the fleet's child process (see StationFleet), writes its commands
// to the child's standard input and reads its answers from the child's
// standard output. Reads wait on the pipe, so they are made only where the
// answer is already due, outside the measured stretches. Window thread only.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>

namespace console::ui::bench {

class FleetProcess {
public:
    FleetProcess() = default;
    FleetProcess(const FleetProcess&) = delete;
    FleetProcess& operator=(const FleetProcess&) = delete;
    // Asks the child to quit and waits for it.
    ~FleetProcess();

    // Runs `program --stations COUNT PORT FOLDERS`; false when it cannot start.
    [[nodiscard]] bool start(const std::filesystem::path& program, int stations, std::uint16_t consolePort,
                             const std::filesystem::path& folders);
    bool send(const std::string& command);
    // The next line of the child's output; nullopt when none came in time.
    std::optional<std::string> readLine(std::chrono::milliseconds patience);
    // "quit", then waits for the child to end.
    void stop();
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int commands_ = -1; // write end of the child's standard input
    int answers_ = -1;  // read end of the child's standard output
    std::string pending_;
};

} // namespace console::ui::bench
