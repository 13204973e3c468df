#pragma once
// One connection to a CUPS print server and the few IPP requests the monitor
// needs: the finished jobs, and a pull subscription to job completions.
// Thread contract: one thread uses an object at a time.

#include "print/cups_job.h"
#include "print_server_address.h"

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace print {

class CupsServer {
public:
    explicit CupsServer(PrintServerAddress address);
    ~CupsServer();
    CupsServer(const CupsServer&) = delete;
    CupsServer& operator=(const CupsServer&) = delete;

    // The machine's own server as libcups finds it (CUPS_SERVER, client.conf, ...).
    static PrintServerAddress localDefault();

    // Connects (again); false when the server cannot be reached.
    [[nodiscard]] bool connect(std::chrono::milliseconds timeout);
    bool connected() const { return http_ != nullptr; }
    void disconnect();

    // Every completed, cancelled and aborted job the server still lists;
    // nullopt when the request failed (the connection is dropped then).
    std::optional<std::vector<CupsJob>> finishedJobs();

    // Subscribes to job completions with pull delivery; false when the server
    // offers no subscriptions (or the request failed).
    bool subscribe();
    bool subscribed() const { return subscription_ > 0; }
    // New events since the last call: the count, or nullopt when the
    // subscription is gone or the request failed (subscribe again).
    std::optional<int> pollNotifications();
    // Cancels the subscription, if any.
    void unsubscribe();

private:
    PrintServerAddress address_;
    void* http_ = nullptr; // http_t*
    int subscription_ = 0;
    int nextSequence_ = 1;
};

} // namespace print
