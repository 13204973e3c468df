#include "print/cups_print_monitor.h"

#include "cups_server.h"
#include "job_pages.h"
#include "print_server_address.h"
#include "spool_page_count.h"

#include "platform/system_error_log.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <string>
#include <utility>

namespace print {

std::string jobKey(const std::string& server, int id, std::time_t created)
{
    return server + "\t" + std::to_string(id) + "\t" + std::to_string(static_cast<long long>(created));
}

std::optional<JobKey> parseJobKey(const std::string& key)
{
    const auto second = key.rfind('\t');
    const auto first = second == std::string::npos || second == 0 ? std::string::npos : key.rfind('\t', second - 1);
    if (first == std::string::npos)
        return std::nullopt;
    JobKey parts;
    try {
        std::size_t used = 0;
        const std::string idText = key.substr(first + 1, second - first - 1);
        const std::string createdText = key.substr(second + 1);
        parts.id = std::stoi(idText, &used);
        if (used != idText.size())
            return std::nullopt;
        parts.created = static_cast<std::time_t>(std::stoll(createdText, &used));
        if (used != createdText.size())
            return std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
    parts.server = key.substr(0, first);
    return parts;
}

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

CupsPrintMonitor::~CupsPrintMonitor() { stop(); }

void CupsPrintMonitor::start(const std::string& printServer)
{
    stop();
    // Without its file the monitor remembers the jobs in memory only: after a
    // restart the finished ones would be handed over again, so that is logged.
    if (!memory_.open())
        platform::logSystemError("opening BriskoPrinted", errno);
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
    // Remembered only once the console confirms it has the job on its disk: a
    // console that ends before then is handed the job again at its next start
    // (and knows from its own file whether it had charged it).
    std::lock_guard lock(mutex_);
    std::vector<console::PrintJobRecord> records;
    records.reserve(pending_.size());
    for (Pending& job : pending_) {
        records.push_back(job.record);
        handedOver_.push_back(std::move(job));
    }
    pending_.clear();
    return records;
}

void CupsPrintMonitor::confirmTaken(const std::vector<std::string>& keys)
{
    for (const std::string& key : keys) {
        const auto parts = parseJobKey(key);
        if (!parts)
            continue;
        memory_.remember(parts->server, parts->id, parts->created);
        std::lock_guard lock(mutex_);
        std::erase_if(handedOver_, [&](const Pending& p) { return p.record.key == key; });
    }
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
        const auto same = [&](const Pending& p) { return p.id == job.id && p.created == job.created; };
        if (std::any_of(pending_.begin(), pending_.end(), same) ||
            std::any_of(handedOver_.begin(), handedOver_.end(), same))
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
        pending_.push_back({job.id,
                            job.created,
                            {job.printer, job.machine, job.document, pages, jobKey(server, job.id, job.created)}});
    }
}

void CupsPrintMonitor::run(const std::string& server)
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
