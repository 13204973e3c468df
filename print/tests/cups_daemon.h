#pragma once
// A private CUPS daemon for the tests: its own configuration, spool and log
// folders under a temporary folder, its own port on 127.0.0.1, nothing of the
// machine's own CUPS touched. Needs root (cupsd drops to lp itself).

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace print::test {

class CupsDaemon {
public:
    CupsDaemon();
    ~CupsDaemon();
    CupsDaemon(const CupsDaemon&) = delete;
    CupsDaemon& operator=(const CupsDaemon&) = delete;

    // Why the tests cannot run here, or empty.
    static std::string unavailableReason();

    bool start();
    void stop();
    bool running() const { return pid_ > 0; }

    // "127.0.0.1:PORT", as the printer table would name the server.
    std::string serverName() const;
    const std::filesystem::path& base() const { return base_; }
    std::filesystem::path spoolFolder() const { return base_ / "spool"; }

    // A queue on the generic PDF driver, or a raw queue (no driver).
    bool addQueue(const std::string& name, bool raw = false);
    // Submits the file; the job id, or nullopt. `host` sets the sending machine.
    std::optional<int> print(const std::string& queue, const std::string& title, const std::filesystem::path& file,
                             int copies = 1, const std::string& host = {},
                             const std::vector<std::string>& options = {});
    bool cancel(int jobId);
    bool holdQueue(const std::string& queue);    // jobs wait (cupsdisable)
    bool releaseQueue(const std::string& queue); // cupsenable

private:
    int run(const std::vector<std::string>& argv, std::string* out = nullptr) const;
    std::filesystem::path base_;
    int port_ = 0;
    pid_t pid_ = -1;
};

// A PDF of `pages` empty A4 pages.
std::string pdfDocument(int pages);
std::filesystem::path writeFile(const std::filesystem::path& file, const std::string& content);

} // namespace print::test
