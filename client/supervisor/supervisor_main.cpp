// tamblo-supervisor: runs `tamblo`, the program beside it, with the same
// arguments, and starts it again whenever it is killed or crashes, so that a
// customer who kills the station client gets the lock back within moments.
// A clean end of tamblo (the console's "QUIT" or "SHUTDOWN") or a refusal of
// its arguments ends the supervisor too, and so does the end of the desktop
// session (its display gone) or a SIGTERM, SIGINT or SIGHUP, which it passes
// on to tamblo. The station's autostart entry starts this program.
#include "client/client_log.h"
#include "client_options.h"
#include "platform/child_process.h"
#include "platform/process_guard.h"
#include "platform/supervisor_signals.h"
#include "platform/display_server.h"
#include "restart_policy.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::filesystem::path workerPath()
{
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return "tamblo";
    return self.parent_path() / "tamblo";
}

class Reporter {
public:
    explicit Reporter(const std::filesystem::path& folder) : log_(folder / client::kLogFileName), folder_(folder) {}
    // On standard error, and in the station's log when its folder is there.
    void line(const std::string& text)
    {
        std::fprintf(stderr, "tamblo-supervisor: %s\n", text.c_str());
        std::error_code ec;
        if (std::filesystem::is_directory(folder_, ec))
            log_.logLine(text);
    }

private:
    client::ClientLog log_;
    std::filesystem::path folder_;
};

std::string pauseText(std::chrono::milliseconds pause)
{
    if (pause.count() == 0)
        return "";
    char text[32];
    std::snprintf(text, sizeof text, " in %.1f s", static_cast<double>(pause.count()) / 1000.0);
    return text;
}

// Sleeps out a pause; false when a stop was asked for meanwhile.
bool pauseUnlessStopped(platform::SupervisorSignals& signals, std::chrono::milliseconds pause)
{
    auto deadline = Clock::now() + pause;
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        if (signals.wait(left) == platform::SupervisorSignals::Wake::StopRequested)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<std::string> command{workerPath().string()};
    command.insert(command.end(), args.begin(), args.end());
    Reporter report(client::parseClientOptions(args).options.folders.log);
    // Nothing the customer runs may attach to the supervisor (nor, through it, to tamblo).
    (void)platform::forbidTracing();

    // Blocked before the first start, so that no end of tamblo can be missed.
    platform::SupervisorSignals signals;
    client::RestartPolicy policy;
    for (;;) {
        int error = 0;
        auto started = Clock::now();
        auto worker = platform::ChildProcess::start(command, &error);
        if (!worker.running()) {
            report.line(command[0] + " could not be started: " + std::strerror(error) + ".");
            return 1;
        }
        std::optional<platform::ExitStatus> ended;
        while (!ended) {
            if (signals.wait(1h) == platform::SupervisorSignals::Wake::StopRequested) {
                worker.stop();
                return 0;
            }
            ended = worker.poll();
        }
        auto lifetime = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
        auto decision = policy.afterEnd(*ended, lifetime);
        if (!decision.restart)
            return ended->signalled ? 1 : ended->code;
        if (!platform::displayServerAnswers()) {
            report.line("tamblo ended (" + ended->describe() + ") with the display gone: not started again.");
            return 0;
        }
        report.line("tamblo ended (" + ended->describe() + "): started again" + pauseText(decision.pause) + ".");
        if (!pauseUnlessStopped(signals, decision.pause))
            return 0;
    }
}
