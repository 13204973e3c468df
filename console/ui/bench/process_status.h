#pragma once
// Figures of a process from /proc/PID/status, such as "VmRSS" and "VmHWM".

#include <optional>
#include <string>
#include <sys/types.h>

namespace console::ui::bench {

// The field's value in kB; nullopt when the process or the field is not there.
// pid 0 is this process.
std::optional<long> statusKilobytes(pid_t pid, const std::string& field);

} // namespace console::ui::bench
