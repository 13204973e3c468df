// tamblo-supervisor: runs `tamblo`, the program beside it, with tamblo's own
// arguments, and starts it again whenever it ends without the console having
// ordered it: killed, crashed, or ended on a signal. A clean end of tamblo
// (the console's "QUIT" or "SHUTDOWN") or a refusal of its arguments ends the
// supervisor too; so does a SIGTERM, SIGINT or SIGHUP, which it passes on.
//
// As the station's system service (root, --run-as) it runs tamblo under the
// service account, lets that account onto the seat's display, and waits for
// the display whenever it is gone (between two desktop sessions) instead of
// ending. With --kiosk-user it ends the customers' programs, and restores
// their home from a template, each time tamblo says a session has ended.
#include "client/client_log.h"
#include "client/client_options.h"
#include "platform/child_process.h"
#include "platform/display_access.h"
#include "platform/display_server.h"
#include "platform/file_owner.h"
#include "platform/kiosk_account.h"
#include "platform/notice_pipe.h"
#include "platform/process_guard.h"
#include "platform/supervisor_signals.h"
#include "client/restart_policy.h"
#include "client/supervisor_options.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The shared folders where a customer's files and scheduled jobs outlive a session.
const std::vector<std::filesystem::path> kSharedFolders{"/tmp", "/var/tmp", "/dev/shm", "/var/spool/cron/crontabs",
                                                        "/var/spool/cron/atjobs"};

// Where the service account's copy of the display's cookie is kept.
const std::filesystem::path kCookieFolder = "/run/tamblo";

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
        if (!std::filesystem::is_directory(folder_, ec))
            return;
        log_.logLine(text);
        // Written by root, the log stays the service account's, which writes it too.
        const auto file = folder_ / client::kLogFileName;
        if (geteuid() == 0 && std::filesystem::exists(file, ec))
            (void)platform::giveToFolderOwner(file, 0640);
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

// The customers' account, made clean after each session.
struct Kiosk {
    platform::Account account;
    std::optional<std::filesystem::path> homeTemplate;

    // False when some could not be ended.
    bool endPrograms(Reporter& report) const
    {
        if (int left = platform::endProcessesOf(account.uid); left > 0) {
            report.line(std::to_string(left) + " programs of " + account.name + " could not be ended.");
            return false;
        }
        report.line("The programs of " + account.name + " were ended.");
        // What would start or wait for the next customer outside the home:
        // scheduled jobs and files in the shared folders.
        if (int left = platform::removeEntriesOf(account.uid, kSharedFolders); left > 0)
            report.line(std::to_string(left) + " files of " + account.name +
                        " in shared folders could not be deleted.");
        return true;
    }

    void clean(Reporter& report) const
    {
        if (!endPrograms(report))
            return; // a home still in use is not touched: a program left could steer the copy
        if (!homeTemplate)
            return;
        if (auto problem = platform::restoreHome(account, *homeTemplate))
            report.line(*problem);
        else
            report.line("The home of " + account.name + " was restored from " + homeTemplate->string() + ".");
    }
};

// The display manager's cookie for the display: the one the service was given
// (XAUTHORITY) while it exists, else the one its X server was started with,
// found among the running processes, so that lightdm and gdm3 both work
// without the owner naming the file.
void useDisplayServersAuthority()
{
    std::error_code ec;
    const char* given = std::getenv("XAUTHORITY");
    if (given && std::filesystem::exists(given, ec))
        return;
    const char* display = std::getenv("DISPLAY");
    if (!display)
        return;
    if (auto found = platform::xServerAuthority(display))
        setenv("XAUTHORITY", found->c_str(), 1);
}

std::optional<platform::Account> accountOrComplain(const std::string& name)
{
    auto account = platform::findAccount(name);
    if (!account)
        std::fprintf(stderr, "tamblo-supervisor: no such account: %s\n", name.c_str());
    return account;
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = client::parseSupervisorOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::fprintf(stderr, "tamblo-supervisor: %s\n%s", options.error.c_str(), client::supervisorUsage().c_str());
        return client::kExitBadArguments;
    }
    if (options.help) {
        std::fputs(client::supervisorUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("tamblo-supervisor %s", client::clientVersion().substr(std::strlen("tamblo ")).c_str());
        return 0;
    }
    if ((options.runAs || options.kioskUser) && geteuid() != 0) {
        std::fputs("tamblo-supervisor: --run-as and --kiosk-user need root\n", stderr);
        return client::kExitBadArguments;
    }
    platform::ChildStart how;
    if (options.runAs) {
        how.runAs = accountOrComplain(*options.runAs);
        if (!how.runAs)
            return client::kExitBadArguments;
    }
    std::optional<Kiosk> kiosk;
    if (options.kioskUser) {
        auto account = accountOrComplain(*options.kioskUser);
        if (!account)
            return client::kExitBadArguments;
        if (account->uid == 0 || (how.runAs && account->uid == how.runAs->uid)) {
            std::fprintf(stderr, "tamblo-supervisor: %s cannot be the customers' account\n", account->name.c_str());
            return client::kExitBadArguments;
        }
        kiosk = Kiosk{*account, options.kioskTemplate};
    }
    // Held for the supervisor's whole life: tamblo writes to it, the supervisor reads.
    auto notices = kiosk ? platform::NoticePipe::open() : std::nullopt;
    if (notices) {
        how.passedFd = notices->writeEnd();
        how.passedFdVariable = client::kNoticeFdVariable;
    }
    const bool service = how.runAs.has_value();

    std::vector<std::string> command{workerPath().string()};
    command.insert(command.end(), options.stationArgs.begin(), options.stationArgs.end());
    Reporter report(client::parseClientOptions(options.stationArgs).options.folders.log);
    // Nothing the customer runs may attach to the supervisor (nor, through it, to tamblo).
    (void)platform::forbidTracing();

    // Blocked before the first start, so that no end of tamblo can be missed.
    platform::SupervisorSignals signals;
    client::RestartPolicy policy;
    for (;;) {
        if (service) {
            // Between two desktop sessions there is no display to lock: wait for the next.
            while (!platform::displayServerAnswers())
                if (signals.wait(1s) == platform::SupervisorSignals::Wake::StopRequested)
                    return 0;
            useDisplayServersAuthority();
            if (auto problem = platform::grantDisplayTo(how.runAs->name))
                report.line("The display could not be opened to " + how.runAs->name + ": " + *problem + ".");
            // And a cookie of its own, which no program of the customer's can take away.
            how.environment.clear();
            if (auto cookie = platform::copyCookieFor(*how.runAs, kCookieFolder))
                how.environment.push_back("XAUTHORITY=" + cookie->string());
        }
        auto started = Clock::now();
        auto spawned = platform::ChildProcess::start(command, how);
        if (!spawned) {
            report.line(command[0] + " could not be started: " + std::strerror(static_cast<int>(spawned.error())) +
                        ".");
            return 1;
        }
        platform::ChildProcess worker = std::move(*spawned);
        std::optional<platform::ExitStatus> ended;
        while (!ended) {
            const int watched = notices ? notices->readEnd() : -1;
            const auto wake = signals.wait(1h, watched);
            if (wake == platform::SupervisorSignals::Wake::StopRequested) {
                worker.stop();
                return 0;
            }
            if (wake == platform::SupervisorSignals::Wake::Readable) {
                for (const auto& notice : notices->takeLines())
                    if (notice == client::kSessionEndedNotice)
                        kiosk->clean(report);
            }
            ended = worker.poll();
        }
        auto lifetime = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
        auto decision = policy.afterEnd(*ended, lifetime);
        if (!decision.restart)
            return ended->signalled ? 1 : ended->code;
        // Ended by nobody at the counter while its display is there: a program
        // of the customer's may have cut its connection. Whatever the customer
        // runs goes before the lock comes back, so that it cannot do it again.
        if (kiosk && platform::displayServerAnswers()) {
            report.line("tamblo ended (" + ended->describe() + ") during use: the customer's programs are ended.");
            (void)kiosk->endPrograms(report);
        }
        if (!platform::displayServerAnswers()) {
            if (!service) {
                report.line("tamblo ended (" + ended->describe() + ") with the display gone: not started again.");
                return 0;
            }
            report.line("tamblo ended (" + ended->describe() +
                        ") with the display gone: started again when it is back.");
            continue;
        }
        report.line("tamblo ended (" + ended->describe() + "): started again" + pauseText(decision.pause) + ".");
        if (!pauseUnlessStopped(signals, decision.pause))
            return 0;
    }
}
