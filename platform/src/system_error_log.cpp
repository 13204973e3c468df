#include "platform/system_error_log.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>
#include <unistd.h>

namespace platform {

void logSystemError(const char* call, int err)
{
    const std::string line = std::string(program_invocation_short_name) + ": " + call +
                             " failed: " + std::generic_category().message(err) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

bool closeDescriptor(int fd, const char* what)
{
    if (::close(fd) == 0 || errno == EINTR)
        return true;
    const int err = errno;
    logSystemError((std::string("close(") + what + ")").c_str(), err);
    return false;
}

} // namespace platform
