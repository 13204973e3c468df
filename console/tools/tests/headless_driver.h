#pragma once
// Drives a brisko-headless child from a test: its commands and replies, its
// "state" read into rows, bills and alarms, and the lines it wrote on its own
// (messages, questions, beeps).
//
// One thread: the test's.

#include "child_process.h"
#include "headless_state.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace console::test {

class HeadlessDriver {
public:
    // `prefix` runs the program inside another (for example "ip netns exec NAME").
    HeadlessDriver(const std::string& program, std::vector<std::string> arguments, std::vector<std::string> prefix = {},
                   const std::filesystem::path& errorFile = "/dev/null");

    // "ready <port>": the port; nullopt after "failed ..." or the time limit.
    std::optional<int> waitReady(std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Sends a command and collects its reply up to "ok" / "error ..." (the last
    // element). Lines the console wrote by itself go to unsolicited().
    std::vector<std::string> command(const std::string& line,
                                     std::chrono::milliseconds limit = std::chrono::seconds(5));
    bool ok(const std::string& line) { return command(line).back() == "ok"; }
    std::optional<HeadlessState> state();
    // Polls "state" until `done` holds; the last state read (or nullopt on time-out).
    std::optional<HeadlessState> waitState(const std::function<bool(const HeadlessState&)>& done,
                                           std::chrono::milliseconds limit,
                                           std::chrono::milliseconds every = std::chrono::milliseconds(100));
    const std::vector<std::string>& unsolicited() const { return unsolicited_; }
    // Runs while a reply is awaited (for example to tick stations in the test's process).
    void setIdle(std::function<void()> idle) { idle_ = std::move(idle); }
    ChildProcess& process() { return *process_; }

private:
    std::unique_ptr<ChildProcess> process_;
    std::vector<std::string> unsolicited_;
    std::function<void()> idle_;
};

} // namespace console::test
