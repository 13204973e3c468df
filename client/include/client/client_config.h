#pragma once
// "TambloConfig": exactly four bytes, the console's IPv4 address in written
// order. Opened once, the first time it is needed (created when missing, never
// truncated, writing denied to others), and held open until the program ends.
//
// Thread contract: one owner thread (the window thread).

#include "platform/ipv4.h"
#include "platform/shared_file.h"

#include <filesystem>

namespace client {

inline constexpr const char* kConfigFileName = "TambloConfig";

class ClientConfig {
public:
    explicit ClientConfig(std::filesystem::path file);

    // Opens the file if not yet open and reads the address; a missing or short
    // file (or one that cannot be opened) leaves 0.0.0.0. False when unopened.
    [[nodiscard]] bool load();
    // Writes the four octets at the start of the file.
    [[nodiscard]] bool store(platform::Ipv4Address server);
    void close() { file_.close(); }

    bool isOpen() const { return file_.isOpen(); }
    platform::Ipv4Address serverAddress() const { return server_; }
    // Only 0.0.0.0 (the unset address, also what a short file reads as) counts as
    // not configured: no connection is tried. 192.168.0.10 is a real address.
    bool isConfigured() const { return !server_.isAny(); }

private:
    [[nodiscard]] bool open();

    std::filesystem::path path_;
    platform::SharedFile file_;
    platform::Ipv4Address server_;
};

} // namespace client
