#pragma once
// A child program for tests: started with its standard input and output on
// pipes, read line by line with a time limit, killed and reaped when the
// object goes (or on kill()). Standard error goes to a file of the test's choice.
//
// One thread: the test's.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace console::test {

class ChildProcess {
public:
    // argv[0] is the program's path. `environment` entries "NAME=VALUE" are
    // added to the test's own environment.
    ChildProcess(std::vector<std::string> argv, const std::vector<std::string>& environment = {},
                 const std::filesystem::path& errorFile = "/dev/null");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    // Writes one line to the child's input.
    bool writeLine(const std::string& line);
    // Closes the child's input (its end of input).
    void closeInput();
    // The next line of output, or nullopt after `limit` or at its end of
    // output. `idle` runs about every 10 ms while waiting.
    std::optional<std::string> readLine(std::chrono::milliseconds limit, const std::function<void()>& idle = {});
    // Sends a signal and reaps the child; returns its wait status (or -1).
    int kill(int signal);
    // Waits up to `limit` for the child to end by itself; its wait status, or nullopt.
    std::optional<int> waitExit(std::chrono::milliseconds limit);

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string pending_;
    bool outputEnded_ = false;
    std::optional<int> status_;
};

} // namespace console::test
