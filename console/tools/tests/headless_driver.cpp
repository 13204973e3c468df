#include "headless_driver.h"

#include <thread>

namespace console::test {

namespace {

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

bool isUnsolicited(const std::string& line)
{
    return line == "beep" || startsWith(line, "message ") || startsWith(line, "question ");
}

} // namespace

HeadlessDriver::HeadlessDriver(const std::string& program, std::vector<std::string> arguments,
                               std::vector<std::string> prefix, const std::filesystem::path& errorFile)
{
    std::vector<std::string> argv = std::move(prefix);
    argv.push_back(program);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    process_ = std::make_unique<ChildProcess>(std::move(argv), std::vector<std::string>{}, errorFile);
}

std::optional<int> HeadlessDriver::waitReady(std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        const auto line = process_->readLine(left, idle_);
        if (!line)
            return std::nullopt;
        if (startsWith(*line, "ready "))
            return fieldNumber(line->substr(6));
        if (startsWith(*line, "failed"))
            return std::nullopt;
        unsolicited_.push_back(*line);
    }
}

std::vector<std::string> HeadlessDriver::command(const std::string& line, std::chrono::milliseconds limit)
{
    std::vector<std::string> reply;
    if (!process_->writeLine(line))
        return {"error the console's input is closed"};
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        const auto got = left.count() > 0 ? process_->readLine(left, idle_) : std::nullopt;
        if (!got) {
            reply.push_back("error no reply to " + line);
            return reply;
        }
        if (isUnsolicited(*got)) {
            unsolicited_.push_back(*got);
            continue;
        }
        reply.push_back(*got);
        if (*got == "ok" || startsWith(*got, "error"))
            return reply;
    }
}

std::optional<HeadlessState> HeadlessDriver::state()
{
    std::vector<std::string> reply = command("state");
    if (reply.back() != "ok")
        return std::nullopt;
    reply.pop_back();
    return parseState(reply);
}

std::optional<HeadlessState> HeadlessDriver::waitState(const std::function<bool(const HeadlessState&)>& done,
                                                       std::chrono::milliseconds limit, std::chrono::milliseconds every)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        auto s = state();
        if (s && done(*s))
            return s;
        if (std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        // Wait without going quiet: the idle work goes on.
        const auto until = std::chrono::steady_clock::now() + every;
        while (std::chrono::steady_clock::now() < until) {
            if (idle_)
                idle_();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
}

} // namespace console::test
