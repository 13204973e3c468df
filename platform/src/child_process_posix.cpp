#include "platform/child_process.h"
#include "platform/supervisor_signals.h"
#include "platform/system_error_log.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace platform {

namespace {

// Why a start failed: an errno value, or what a posix_spawn call returned.
Failure<std::errc> failedWith(int number) { return failure(static_cast<std::errc>(number)); }

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

Result<ChildProcess, std::errc> ChildProcess::start(const std::vector<std::string>& argv)
{
    if (argv.empty())
        return failedWith(EINVAL);
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawnattr_t attr;
    if (int failed = posix_spawnattr_init(&attr); failed != 0)
        return failedWith(failed);
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
    if (failed != 0)
        return failedWith(failed);
    return ChildProcess(pid);
}

Result<ChildProcess, std::errc> ChildProcess::start(const std::vector<std::string>& argv, const ChildStart& how)
{
    if (!how.runAs && how.passedFd < 0)
        return start(argv);
    if (argv.empty())
        return failedWith(EINVAL);

    // Everything the child needs is prepared here: between fork and exec it
    // only makes system calls.
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> environment;
    auto replaced = [&](std::string_view entry) {
        // The parent's own session (its runtime folder, its bus) is not the account's.
        for (std::string_view name :
             {"HOME=", "USER=", "LOGNAME=", "XDG_RUNTIME_DIR=", "DBUS_SESSION_BUS_ADDRESS=", "XAUTHORITY="})
            if (how.runAs && entry.starts_with(name))
                return true;
        return !how.passedFdVariable.empty() && entry.starts_with(how.passedFdVariable + "=");
    };
    for (char** e = environ; *e; ++e)
        if (!replaced(*e))
            environment.emplace_back(*e);
    if (how.runAs) {
        environment.push_back("HOME=" + how.runAs->home.string());
        environment.push_back("USER=" + how.runAs->name);
        environment.push_back("LOGNAME=" + how.runAs->name);
    }
    if (how.passedFd >= 0 && !how.passedFdVariable.empty())
        environment.push_back(how.passedFdVariable + "=3");
    environment.insert(environment.end(), how.environment.begin(), how.environment.end());
    std::vector<char*> env;
    for (auto& e : environment)
        env.push_back(e.data());
    env.push_back(nullptr);
    std::vector<gid_t> groups(64);
    if (how.runAs) {
        int count = static_cast<int>(groups.size());
        if (getgrouplist(how.runAs->name.c_str(), how.runAs->gid, groups.data(), &count) < 0) {
            groups.resize(static_cast<std::size_t>(count));
            if (getgrouplist(how.runAs->name.c_str(), how.runAs->gid, groups.data(), &count) < 0)
                return failedWith(EINVAL);
        }
        groups.resize(static_cast<std::size_t>(count));
    }
    sigset_t defaults = SupervisorSignals::handled();
    sigaddset(&defaults, SIGPIPE);

    // The child reports a failure before exec through this pipe; exec closes it.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return failedWith(errno);
    pid_t pid = ::fork();
    if (pid < 0) {
        int number = errno;
        ::close(report[0]);
        ::close(report[1]);
        return failedWith(number);
    }
    if (pid == 0) {
        auto die = [&](int number) {
            (void)!::write(report[1], &number, sizeof number);
            ::_exit(127);
        };
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        for (int n = 1; n < NSIG; ++n)
            if (sigismember(&defaults, n) == 1)
                ::sigaction(n, &dfl, nullptr);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (how.passedFd >= 0) {
            if (how.passedFd == 3 ? ::fcntl(3, F_SETFD, 0) != 0 : ::dup2(how.passedFd, 3) != 3)
                die(errno);
        }
        if (how.runAs) {
            if (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(how.runAs->gid) != 0 ||
                ::setuid(how.runAs->uid) != 0)
                die(errno);
            if (::chdir(how.runAs->home.c_str()) != 0 && ::chdir("/") != 0)
                die(errno);
        }
        ::execve(args[0], args.data(), env.data());
        die(errno);
    }
    ::close(report[1]);
    int number = 0;
    ssize_t got;
    while ((got = ::read(report[0], &number, sizeof number)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (got == static_cast<ssize_t>(sizeof number)) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return failedWith(number);
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
