#include "process_status.h"

#include <fstream>
#include <sstream>

namespace console::ui::bench {

std::optional<long> statusKilobytes(pid_t pid, const std::string& field)
{
    std::ifstream status(pid == 0 ? std::string("/proc/self/status") : "/proc/" + std::to_string(pid) + "/status");
    const std::string prefix = field + ":";
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, prefix.size(), prefix) == 0) {
            long kilobytes = 0;
            std::istringstream(line.substr(prefix.size())) >> kilobytes;
            return kilobytes;
        }
    return std::nullopt;
}

} // namespace console::ui::bench
