#include "platform/process_cpu.h"

#include <sys/resource.h>

namespace platform {

std::chrono::microseconds processCpuTime()
{
    rusage usage{};
    if (::getrusage(RUSAGE_SELF, &usage) != 0)
        return std::chrono::microseconds(0);
    auto micros = [](const timeval& t) {
        return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
    };
    return micros(usage.ru_utime) + micros(usage.ru_stime);
}

} // namespace platform
