#include "platform/child_process.h"
#include "platform/supervisor_signals.h"
#include "platform/system_error_log.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <utility>

extern char** environ;

namespace platform {

namespace {

ExitStatus fromWaitStatus(int status)
{
    ExitStatus s;
    if (WIFSIGNALED(status)) {
        s.signalled = true;
        s.code = WTERMSIG(status);
    } else {
        s.code = WEXITSTATUS(status);
    }
    return s;
}

} // namespace

std::string ExitStatus::describe() const
{
    if (!signalled)
        return "exit code " + std::to_string(code);
    const char* name = ::strsignal(code);
    return "signal " + std::to_string(code) + (name ? std::string(" (") + name + ")" : std::string());
}

ChildProcess::~ChildProcess()
{
    if (running())
        stop();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        if (running())
            stop();
        pid_ = std::exchange(other.pid_, -1);
    }
    return *this;
}

ChildProcess ChildProcess::start(const std::vector<std::string>& argv, int* error)
{
    if (argv.empty()) {
        if (error)
            *error = EINVAL;
        return {};
    }
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawnattr_t attr;
    if (int failed = posix_spawnattr_init(&attr); failed != 0) {
        if (error)
            *error = failed;
        return {};
    }
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults = SupervisorSignals::handled();
    sigaddset(&defaults, SIGPIPE);
    // A child that would start with the parent's blocked signals is not
    // started at all.
    int failed = posix_spawnattr_setsigmask(&attr, &none);
    if (failed == 0)
        failed = posix_spawnattr_setsigdefault(&attr, &defaults);
    if (failed == 0)
        failed = posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    if (failed == 0)
        failed = ::posix_spawn(&pid, args[0], nullptr, &attr, args.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (failed != 0) {
        if (error)
            *error = failed;
        return {};
    }
    return ChildProcess(pid);
}

std::optional<ExitStatus> ChildProcess::poll()
{
    if (!running())
        return std::nullopt;
    int status = 0;
    pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
        pid_ = -1;
        return fromWaitStatus(status);
    }
    if (done < 0 && errno == ECHILD) {
        // Reaped elsewhere: it has ended, how is unknown.
        pid_ = -1;
        return ExitStatus{};
    }
    return std::nullopt;
}

void ChildProcess::signal(int number) const
{
    // ESRCH cannot come while the child is not reaped; anything else is a
    // fault worth a line.
    if (running() && ::kill(pid_, number) != 0)
        logSystemError("kill", errno);
}

std::optional<ExitStatus> ChildProcess::stop(std::chrono::milliseconds grace)
{
    using namespace std::chrono_literals;
    if (!running())
        return std::nullopt;
    signal(SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + grace;
    while (std::chrono::steady_clock::now() < deadline) {
        if (auto status = poll())
            return status;
        std::this_thread::sleep_for(10ms);
    }
    signal(SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return fromWaitStatus(status);
}

} // namespace platform
