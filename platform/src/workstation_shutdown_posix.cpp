#include "platform/workstation_shutdown.h"

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace platform {

std::vector<std::string> defaultPowerOffCommand() { return {"systemctl", "poweroff"}; }

std::optional<std::string> requestPowerOff(const std::vector<std::string>& command)
{
    if (command.empty())
        return "No shutdown command.";
    std::vector<char*> argv;
    for (const auto& part : command)
        argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    int spawned = ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (spawned != 0)
        return std::string(std::strerror(spawned)) + ".";
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return std::string(std::strerror(errno)) + ".";
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return std::nullopt;
    if (WIFEXITED(status))
        return "The system refused to shut down (" + command[0] + " ended with status " +
               std::to_string(WEXITSTATUS(status)) + ").";
    return "The system refused to shut down (" + command[0] + " was stopped).";
}

} // namespace platform
