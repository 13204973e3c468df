#pragma once
// CPU time used by this process so far (all threads, user and system).

#include <chrono>

namespace platform {

std::chrono::microseconds processCpuTime();

} // namespace platform
