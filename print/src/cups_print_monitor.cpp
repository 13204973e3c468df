#include "print/cups_print_monitor.h"

#include "print/cups_server.h"
#include "print/job_pages.h"
#include "print/print_server_address.h"
#include "print/spool_page_count.h"

#include <algorithm>
#include <utility>

namespace print {

std::string serverLostNotice(const std::string& server)
{
    return "PRINT SERVER UNREACHABLE," + (server.empty() ? std::string("localhost") : server) +
           ",printed pages are not charged";
}

std::string serverBackNotice(const std::string& server)
{
    return "PRINT SERVER BACK," + (server.empty() ? std::string("localhost") : server);
}

CupsPrintMonitor::CupsPrintMonitor(PrintMonitorSettings settings)
    : settings_(std::move(settings)), memory_(settings_.memoryFile)
{
}

CupsPrintMonitor::~CupsPrintMonitor()
{
    stop();
}

void CupsPrintMonitor::start(const std::string& printServer)
{
    stop();
    memory_.open();
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = false;
        firstLook_ = false;
    }
    server_ = printServer;
    reachable_ = true;
    thread_ = std::thread([this, printServer] { run(printServer); });
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, settings_.connectTimeout + std::chrono::seconds(1), [this] { return firstLook_; });
}

void CupsPrintMonitor::stop()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
    thread_.join();
    reachable_ = true;
}

std::vector<console::PrintJobRecord> CupsPrintMonitor::takeFinishedJobs()
{
    std::vector<Pending> taken;
    {
        std::lock_guard lock(mutex_);
        taken.swap(pending_);
    }
    std::vector<console::PrintJobRecord> records;
    records.reserve(taken.size());
    for (Pending& job : taken) {
        // Remembered as it goes to the bill: a console that ends before its
        // tick took a job charges it at the next start instead of losing it.
        memory_.remember(server_, job.id, job.created);
        records.push_back(std::move(job.record));
    }
    return records;
}

std::vector<std::string> CupsPrintMonitor::takeNotices()
{
    std::lock_guard lock(mutex_);
    return std::exchange(notices_, {});
}

void CupsPrintMonitor::notice(std::string text)
{
    std::lock_guard lock(mutex_);
    notices_.push_back(std::move(text));
}

void CupsPrintMonitor::firstLookDone()
{
    {
        std::lock_guard lock(mutex_);
        if (firstLook_)
            return;
        firstLook_ = true;
    }
    wake_.notify_all();
}

bool CupsPrintMonitor::waitFor(std::chrono::milliseconds pause)
{
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, pause, [this] { return stopRequested_; });
}

void CupsPrintMonitor::takeIn(const std::string& server, const std::vector<CupsJob>& jobs, bool local)
{
    std::lock_guard lock(mutex_);
    for (const CupsJob& job : jobs) {
        if (!job.finished() || memory_.contains(server, job.id, job.created))
            continue;
        if (std::any_of(pending_.begin(), pending_.end(),
                        [&](const Pending& p) { return p.id == job.id && p.created == job.created; }))
            continue;
        // Only this machine's own server has its spool files here.
        const int spoolPages = local && job.state == JobState::Completed
                                   ? SpoolPageCount(spoolDataFile(settings_.spoolFolder, job.id))
                                   : 0;
        const int pages = chargeablePages(job, spoolPages);
        if (pages <= 0) {
            memory_.remember(server, job.id, job.created); // printed nothing, costs nothing
            continue;
        }
        pending_.push_back({job.id, job.created, {job.printer, job.machine, job.document, pages}});
    }
}

void CupsPrintMonitor::run(std::string server)
{
    const PrintServerAddress local = CupsServer::localDefault();
    const PrintServerAddress address = parsePrintServerName(server, local.host, local.port);
    CupsServer cups(address);
    bool down = false;
    auto pause = settings_.firstRetryPause;
    auto lastListing = std::chrono::steady_clock::now();

    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopRequested_)
                break;
        }
        if (!cups.connected()) {
            std::optional<std::vector<CupsJob>> jobs;
            if (cups.connect(settings_.connectTimeout))
                jobs = cups.finishedJobs();
            if (!jobs) {
                reachable_ = false;
                if (!down)
                    notice(serverLostNotice(server));
                down = true;
                firstLookDone();
                if (!waitFor(pause))
                    break;
                pause = std::min(pause * 2, settings_.maxRetryPause);
                continue;
            }
            if (down)
                notice(serverBackNotice(server));
            down = false;
            reachable_ = true;
            pause = settings_.firstRetryPause;
            if (!memory_.watched(server)) {
                // The first look at this server: its history is not charged.
                for (const CupsJob& job : *jobs)
                    if (job.finished())
                        memory_.remember(server, job.id, job.created);
                memory_.markWatched(server);
            } else {
                takeIn(server, *jobs, address.local);
            }
            cups.subscribe();
            lastListing = std::chrono::steady_clock::now();
            firstLookDone();
        }

        if (!waitFor(cups.subscribed() ? settings_.notificationPoll : settings_.jobPoll))
            break;
        bool list = !cups.subscribed();
        if (cups.subscribed()) {
            const auto events = cups.pollNotifications();
            if (!events) {
                list = true; // lapsed or lost: list now, subscribe again below
                if (cups.connected())
                    cups.subscribe();
            } else if (*events > 0) {
                list = true;
            }
        }
        if (std::chrono::steady_clock::now() - lastListing >= settings_.safetyPoll)
            list = true;
        if (list && cups.connected()) {
            if (auto jobs = cups.finishedJobs())
                takeIn(server, *jobs, address.local);
            lastListing = std::chrono::steady_clock::now();
        }
    }
    cups.unsubscribe();
    cups.disconnect();
    firstLookDone();
}

} // namespace print
