#pragma once
// The print monitor on CUPS: a thread that watches the print server for jobs
// that have finished (through a pull subscription to job completions where
// the server offers one, else by listing the jobs every second), counts their
// pages and keeps the chargeable ones until the console's money tick takes
// them. Every job is handed over once, ever: "BriskoPrinted" remembers the
// jobs the console confirmed (once it has them on its own disk) across
// restarts of the monitor, the server and the console.
// A server that cannot be reached is reported once (and again when it is
// back) and tried again with a growing pause of at most 30 s.
// Thread contract: start(), stop(), takeFinishedJobs(), confirmTaken(), takeNotices() and
// charging() are called from the window thread; the monitor's own thread
// touches only the shared job list and notices under the lock, and the memory.

#include "console/print_monitor_control.h"
#include "print/cups_job.h"
#include "print/printed_jobs_memory.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace print {

struct PrintMonitorSettings {
    std::filesystem::path memoryFile{"BriskoPrinted"};
    // Where the local server keeps its spool files (read for their PAGES="n").
    std::filesystem::path spoolFolder{"/var/spool/cups"};
    std::chrono::milliseconds notificationPoll{250};
    std::chrono::milliseconds jobPoll{1000};     // without a subscription
    std::chrono::milliseconds safetyPoll{10000}; // with one: a lost event is found anyway
    std::chrono::milliseconds firstRetryPause{1000};
    std::chrono::milliseconds maxRetryPause{30000};
    std::chrono::milliseconds connectTimeout{2000};
};

// A job's key as the console keeps it until it confirms the job: the server,
// the job id and its creation time, separated by tabs.
std::string jobKey(const std::string& server, int id, std::time_t created);
struct JobKey {
    std::string server;
    int id = 0;
    std::time_t created = 0;
};
// The parts of a key jobKey() wrote; nullopt for any other text.
std::optional<JobKey> parseJobKey(const std::string& key);

// The activity log's texts for an unreachable server and its return.
std::string serverLostNotice(const std::string& server);
std::string serverBackNotice(const std::string& server);

class CupsPrintMonitor final : public console::PrintMonitorControl {
public:
    explicit CupsPrintMonitor(PrintMonitorSettings settings = {});
    ~CupsPrintMonitor() override;
    CupsPrintMonitor(const CupsPrintMonitor&) = delete;
    CupsPrintMonitor& operator=(const CupsPrintMonitor&) = delete;

    // Starts the thread and returns after its first look at the server (at
    // most the connect timeout), so jobs finishing from now on are charged.
    void start(const std::string& printServer) override;
    void stop() override;
    std::vector<console::PrintJobRecord> takeFinishedJobs() override;
    void confirmTaken(const std::vector<std::string>& keys) override;

    // Lines for the activity log since the last call, oldest first.
    std::vector<std::string> takeNotices();
    bool running() const { return thread_.joinable(); }
    // False while the monitor runs but cannot reach its server: pages printed
    // meanwhile are charged only once it is back.
    bool charging() const { return !running() || reachable_; }

private:
    struct Pending {
        int id;
        std::time_t created;
        console::PrintJobRecord record;
    };
    void run(const std::string& server);
    void takeIn(const std::string& server, const std::vector<CupsJob>& jobs, bool local);
    bool waitFor(std::chrono::milliseconds pause); // false when told to stop
    void notice(std::string text);
    void firstLookDone();

    PrintMonitorSettings settings_;
    PrintedJobsMemory memory_;
    std::string server_;
    std::thread thread_;

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopRequested_ = false;
    bool firstLook_ = false;
    std::vector<Pending> pending_;
    std::vector<Pending> handedOver_; // taken by the console, not confirmed yet
    std::vector<std::string> notices_;
    std::atomic<bool> reachable_{true};
};

} // namespace print
