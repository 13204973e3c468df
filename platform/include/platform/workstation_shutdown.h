#pragma once
// Shutting the workstation down on the console's order.
// No state; the request blocks until the command has ended. Any thread.

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The system's own command for a clean power-off.
std::vector<std::string> defaultPowerOffCommand();

// Runs the power-off command and waits for it to hand the request over.
// nullopt when the system took the request; otherwise the reason in words.
std::optional<std::string> requestPowerOff(const std::vector<std::string>& command = defaultPowerOffCommand());

} // namespace platform
