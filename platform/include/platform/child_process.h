#pragma once
// A child process started from a program file. The child starts with the
// default signal dispositions (SupervisorSignals' among them) and an empty
// signal mask, whatever the parent blocks. A ChildProcess still
// running when it is destroyed is asked to end (SIGTERM) and, if it has not
// ended after a grace period, killed. Single-threaded use: one owner thread.

#include "platform/file_owner.h"
#include "platform/result.h"

#include <chrono>
#include <optional>
#include <string>
#include <system_error>
#include <sys/types.h>
#include <vector>

namespace platform {

struct ExitStatus {
    bool signalled = false; // ended by a signal rather than by exiting
    int code = 0;           // the exit code, or the signal number when signalled
    // "exit code 1", "signal 9 (Killed)".
    std::string describe() const;
};

// How a child starts besides its arguments.
struct ChildStart {
    // Run under this account (its groups, HOME, USER and LOGNAME); the parent
    // must be root. The parent's account when unset.
    std::optional<Account> runAs;
    // A descriptor the child gets as its descriptor 3, named to it by the
    // environment variable `passedFdVariable` ("3"); none when -1.
    int passedFd = -1;
    std::string passedFdVariable;
    // Set in the child's environment besides, "NAME=value" each.
    std::vector<std::string> environment;
};

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `argv[0]` (a path, not searched for) with the arguments `argv`.
    // Fails with the system's reason (errno's value as a std::errc).
    [[nodiscard]] static Result<ChildProcess, std::errc> start(const std::vector<std::string>& argv);
    // The same, started as `how` says.
    [[nodiscard]] static Result<ChildProcess, std::errc> start(const std::vector<std::string>& argv,
                                                               const ChildStart& how);

    bool running() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // Collects the child's end without waiting; nullopt while it runs.
    std::optional<ExitStatus> poll();
    // Sends a signal to the running child.
    void signal(int number) const;
    // SIGTERM, up to `grace` to end, then SIGKILL; returns how it ended.
    std::optional<ExitStatus> stop(std::chrono::milliseconds grace = std::chrono::seconds(3));

private:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    pid_t pid_ = -1;
};

} // namespace platform
