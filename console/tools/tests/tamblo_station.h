#pragma once
// A real station program for tests: `tamblo --windowed` on the offscreen
// platform in a namespace of its own, with its own home and data folder and a
// "TambloConfig" naming the counter's address. Its log tells what it received.
//
// One thread: the test's.

#include "child_process.h"

#include "console_harness.h"

#include "platform/ipv4.h"

#include <memory>
#include <string>
#include <vector>

namespace console::test {

class TambloStation {
public:
    // `port` is the console's main port; `key` the cafe's key it is given, if any.
    TambloStation(const std::string& program, std::vector<std::string> prefix, platform::Ipv4Address own,
                  platform::Ipv4Address counter, std::uint16_t port = 32000, const std::string& key = {});
    // The station as its service runs it: `supervisor` started as root with
    // `options` (--run-as ACCOUNT and the like), the station's folder given
    // to `account`.
    static std::unique_ptr<TambloStation> asService(const std::string& supervisor, std::vector<std::string> options,
                                                    const std::string& account, platform::Ipv4Address own,
                                                    platform::Ipv4Address counter, std::uint16_t port);

    bool running() const { return process_ && process_->started(); }
    ChildProcess& process() { return *process_; }
    const std::filesystem::path& folder() const { return folder_.path(); }
    // How many messages from the console the station's log shows so far.
    int messagesReceived() const;
    // The station's log, for failure reports.
    std::string log() const;

private:
    struct ServiceTag {
        explicit ServiceTag() = default;
    };

public:
    explicit TambloStation(ServiceTag) {}

private:
    void start(std::vector<std::string> argv);

    TempFolder folder_;
    std::unique_ptr<ChildProcess> process_;
};

} // namespace console::test
