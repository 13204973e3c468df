// tamblo-idle-bench: what the locked station costs while it waits. Starts the
// real tamblo on the X display of the environment (run it under xvfb-run)
// with no console to reach, lets it settle, and reports the CPU share it used
// over the measured time and its resident memory (VmRSS).
//
//   xvfb-run -a -s "-screen 0 1280x800x24" tamblo-idle-bench [--seconds 20]
//
// Two cases: a station without a console address (it never connects) and one
// whose console does not answer (refused connects, tried again and again).
#include "platform/child_process.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// User and system time of a process, in clock ticks.
long cpuTicks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(stat, text);
    auto close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    long utime = 0, stime = 0;
    // Fields after the name: state is field 3; utime and stime are fields 14 and 15.
    for (int i = 3; i <= 15; ++i) {
        if (!(rest >> field))
            return -1; // the process is gone, or its stat line is cut short
        if (i == 14)
            utime = std::stol(field);
        if (i == 15)
            stime = std::stol(field);
    }
    return utime + stime;
}

std::string residentMemory(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return line.substr(line.find_first_not_of(" \t", 6));
    return "?";
}

void measure(const char* name, const fs::path& program, const fs::path& folder, std::chrono::seconds seconds)
{
    auto started = platform::ChildProcess::start(
        {program.string(), "--dir", folder.string(), "--address", "127.2.2.5", "--port", "9"});
    auto child = std::move(started).value_or(platform::ChildProcess{});
    if (!child.running()) {
        std::printf("%-28s could not start %s\n", name, program.c_str());
        return;
    }
    std::this_thread::sleep_for(3s); // start-up is not idling
    long before = cpuTicks(child.pid());
    auto begun = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(seconds);
    long after = cpuTicks(child.pid());
    if (before < 0 || after < 0) {
        std::printf("%-28s %s ended while measured\n", name, program.c_str());
        return;
    }
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    double percent =
        100.0 * static_cast<double>(after - before) / static_cast<double>(::sysconf(_SC_CLK_TCK)) / elapsed;
    std::printf("%-28s CPU %.2f %% of one core over %.0f s, VmRSS %s\n", name, percent, elapsed,
                residentMemory(child.pid()).c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    std::chrono::seconds seconds(20);
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::string(argv[i]) == "--seconds")
            seconds = std::chrono::seconds(std::atoi(argv[i + 1]));
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "tamblo-idle-bench: needs an X display (run it under xvfb-run)\n");
        return 2;
    }
    fs::path program = fs::read_symlink("/proc/self/exe").parent_path() / "tamblo";
    fs::path base = fs::temp_directory_path() / ("tamblo-idle-bench-" + std::to_string(::getpid()));
    fs::create_directories(base / "unconfigured");
    fs::create_directories(base / "unreachable");
    // 127.1.1.1 at port 9, where nobody listens.
    if (!std::ofstream(base / "unreachable" / "TambloConfig", std::ios::binary).write("\x7F\x01\x01\x01", 4)) {
        std::fprintf(stderr, "tamblo-idle-bench: cannot write %s\n", base.c_str());
        return 1;
    }

    measure("locked, no console address", program, base / "unconfigured", seconds);
    measure("locked, console unreachable", program, base / "unreachable", seconds);
    std::error_code ec;
    fs::remove_all(base, ec);
    return 0;
}
