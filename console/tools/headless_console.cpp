// brisko-headless: the console engine in a plain process, driven by commands on
// standard input and answering on standard output (see headless_commands.h).
// It runs on the real system clock and the real link, with the same two timers
// as the console window: the event poll every 100 ms, the money tick every second.
//
//   brisko-headless [--dir FOLDER] [--listen ADDR:PORT] [--password P]
//   (port 0 lets the system choose one)
//
// Prints "ready <port>" once the stations are started, or "failed <why>".
// End of input and SIGTERM end it as "quit" does: the files are closed cleanly.
#include "headless_commands.h"
#include "headless_services.h"
#include "brisko_version.h"

#include "console/console_engine.h"
#include "link/link_server.h"
#include "link/link_settings.h"
#include "platform/clock.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

volatile std::sig_atomic_t terminateRequested = 0;

void onTerminate(int) { terminateRequested = 1; }

struct Options {
    // A test tool: the cafe's key is used when the folder has one, never made.
    console::ConsoleSettings settings{".", {}, false};
    std::string password;
};

const char* const kUsage = "usage: brisko-headless [--dir FOLDER] [--listen ADDR:PORT] [--password P]\n"
                           "\n"
                           "The console without a window, for tests and scripts: one command a line on the\n"
                           "input (select, start, stop, swap, bill, items, show, item, price, quantity,\n"
                           "tender, charge, alarm, enter, escape, state, quit), each answered by its output\n"
                           "and a last line \"ok\" or \"error <why>\". --listen ADDR:0 lets the system choose\n"
                           "the port, named in the first line \"ready PORT\".\n";

bool parseOptions(int argc, char** argv, Options& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            std::fputs(arg == "--version" ? "brisko-headless " BRISKO_VERSION "\n" : kUsage, stdout);
            std::exit(0);
        }
        if (arg != "--dir" && arg != "--listen" && arg != "--password") {
            error = "unknown option: " + arg;
            return false;
        }
        if (i + 1 >= argc) {
            error = arg + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        if (arg == "--dir") {
            options.settings.folder = value;
        } else if (arg == "--password") {
            options.password = value;
        } else {
            // Port 0 lets the system choose; "ready" then names the port.
            const bool anyPort = value.size() > 2 && value.compare(value.size() - 2, 2, ":0") == 0;
            auto link = stationlink::parseListenOption(anyPort ? value.substr(0, value.size() - 2) : value,
                                                       options.settings.link);
            if (link && anyPort)
                link->port = 0;
            if (!link) {
                error = "not an address ADDR:PORT: " + value;
                return false;
            }
            options.settings.link = *link;
        }
    }
    return true;
}

// The input's complete lines, taken off the front of `pending`.
std::vector<std::string> takeLines(std::string& pending)
{
    std::vector<std::string> lines;
    std::size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        std::string line = pending.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        pending.erase(0, end + 1);
    }
    return lines;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "brisko-headless: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(options.settings.folder, ec)) {
        std::fprintf(stderr, "brisko-headless: no such folder: %s\n", options.settings.folder.c_str());
        return 2;
    }

    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    using namespace console::headless;
    platform::SystemClock clock;
    HeadlessServices services(stdout, options.password);
    console::ConsoleEngine engine(options.settings, clock, services.services());

    if (!engine.openFiles()) {
        services.writeLine("failed another console runs in this folder");
        return 3;
    }
    if (!engine.checkOperatorPassword()) {
        services.writeLine("failed wrong password");
        return 1;
    }
    if (!engine.startStations()) {
        services.writeLine("failed cannot listen for stations");
        return 3;
    }
    services.writeLine("ready " + std::to_string(engine.link().mainPort()));

    HeadlessCommands commands(engine, services);
    commands.followFocus();

    using Clock = std::chrono::steady_clock;
    auto nextPoll = Clock::now() + console::ConsoleEngine::kEventPollInterval;
    auto nextTick = Clock::now() + console::ConsoleEngine::kMoneyTickInterval;
    std::string pending;
    bool inputOpen = true;
    while (!commands.finished() && !terminateRequested) {
        const auto now = Clock::now();
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(std::min(nextPoll, nextTick) - now);
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int timeout = static_cast<int>(std::max<long long>(0, wait.count()));
        const int ready = ::poll(&input, inputOpen ? 1 : 0, timeout);
        if (ready > 0 && (input.revents & (POLLIN | POLLHUP | POLLERR))) {
            char buffer[4096];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                inputOpen = false; // end of input: as "quit"
                break;
            }
            pending.append(buffer, static_cast<std::size_t>(n));
            for (const std::string& line : takeLines(pending)) {
                for (const std::string& reply : commands.run(line))
                    services.writeLine(reply);
                if (commands.finished())
                    break;
            }
        }
        if (commands.finished())
            break;
        // Timers as the window's: a late one runs once and keeps its rhythm.
        if (Clock::now() >= nextPoll) {
            engine.eventPoll();
            commands.followFocus();
            nextPoll += console::ConsoleEngine::kEventPollInterval;
            if (nextPoll < Clock::now())
                nextPoll = Clock::now() + console::ConsoleEngine::kEventPollInterval;
        }
        if (Clock::now() >= nextTick && !engine.hasEnded()) {
            engine.moneyTick();
            commands.followFocus();
            nextTick += console::ConsoleEngine::kMoneyTickInterval;
            if (nextTick < Clock::now())
                nextTick = Clock::now() + console::ConsoleEngine::kMoneyTickInterval;
        }
    }
    // The engine's destructor stops the link and closes the files.
    return 0;
}
