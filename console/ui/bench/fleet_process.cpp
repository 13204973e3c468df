#include "fleet_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <vector>

extern char** environ;

namespace console::ui::bench {

FleetProcess::~FleetProcess() { stop(); }

bool FleetProcess::start(const std::filesystem::path& program, int stations, std::uint16_t consolePort,
                         const std::filesystem::path& folders)
{
    int toChild[2];
    int fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        ::close(toChild[0]);
        ::close(toChild[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    // The console's sockets and files stay its own.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

    std::vector<std::string> args{program.string(), "--stations", std::to_string(stations), std::to_string(consolePort),
                                  folders.string()};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int failed = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    commands_ = toChild[1];
    answers_ = fromChild[0];
    if (failed != 0) {
        pid_ = -1;
        return false;
    }
    // A child that has gone must not end this process through SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

bool FleetProcess::send(const std::string& command)
{
    const std::string line = command + "\n";
    return commands_ >= 0 && ::write(commands_, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

std::optional<std::string> FleetProcess::readLine(std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (auto end = pending_.find('\n'); end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (answers_ < 0 || left.count() <= 0)
            return std::nullopt;
        pollfd answer{answers_, POLLIN, 0};
        if (::poll(&answer, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = ::read(answers_, buffer, sizeof buffer);
        if (n <= 0)
            return std::nullopt;
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

void FleetProcess::stop()
{
    if (pid_ < 0)
        return;
    send("quit");
    ::close(commands_);
    commands_ = -1;
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    ::close(answers_);
    answers_ = -1;
}

} // namespace console::ui::bench
