#pragma once
// A child program of a test, and questions about programs: whether one is
// installed, how much CPU time a process has used.
//
// Thread contract: the test's main thread.

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace client::test {

// Whether a child's standard output and error reach the test's own.
enum class ChildOutput { Discarded, Shown };

// A child program; ended with SIGTERM when the object goes.
class Process {
public:
    explicit Process(std::vector<std::string> argv, ChildOutput output = ChildOutput::Discarded);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    bool started() const { return pid_ > 0; }
    bool running();
    // Waits up to `limit` for the program to end by itself; its exit status (-1 for a signal).
    std::optional<int> exitStatus(std::chrono::milliseconds limit);
    // SIGTERM, then waits up to `limit`; SIGKILL after that. True when it ended by itself in time.
    bool terminate(std::chrono::milliseconds limit = std::chrono::seconds(5));
    // SIGKILL, as a customer with a shell would: no chance to clean up.
    void killHard();

private:
    pid_t pid_ = -1;
};

// The CPU time a process has used so far (user and system).
std::chrono::milliseconds processCpu(pid_t pid);

// Runs a program to its end (at most 10 s); its exit status, or -1.
int runToEnd(std::vector<std::string> argv, ChildOutput output = ChildOutput::Discarded);
bool haveProgram(const std::string& path);

} // namespace client::test
