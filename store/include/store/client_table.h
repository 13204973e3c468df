#pragma once
// The stations file "BriskoClient": per station its computer name (matches print
// jobs) and IPv4 address (matches connections). Entry i is station number i + 1.

#include "platform/ipv4.h"
#include "store/record_file.h"
#include "store/store_notifier.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace store {

inline constexpr int kMaxStations = 99;

struct ClientEntry {
    std::string computerName;
    platform::Ipv4Address address;

    friend bool operator==(const ClientEntry&, const ClientEntry&) = default;
};

// 264-byte record: head word, 256-byte name, 4 address bytes in dotted order.
struct ClientCodec {
    using Entry = ClientEntry;
    static constexpr std::size_t kRecordSize = 264;
    static constexpr std::size_t kNameSize = 256; // NUL-terminated when shorter
    static constexpr const char* kFileName = "BriskoClient";
    static void encode(const ClientEntry& entry, Bytes record);
    static ClientEntry decode(ConstBytes record);
};

class ClientTable {
public:
    ClientTable(const std::filesystem::path& folder, StoreNotifier& notifier);

    // Loads the file once; more than 99 records show "Invalid Client data file" and
    // only the first 99 are kept (the file is left as it is until the next save).
    [[nodiscard]] bool load();
    [[nodiscard]] bool save();
    void close();
    bool isLoaded() const { return file_.isLoaded(); }

    std::vector<ClientEntry>& entries() { return file_.entries(); }
    const std::vector<ClientEntry>& entries() const { return file_.entries(); }

    int stationCount() const;

    // Station index (from 0) of the first station with exactly this address, or -1.
    int findByAddress(const platform::Ipv4Address& address) const;
    // Station number (from 1) of the first station whose computer name matches,
    // ignoring letter case and two leading backslashes of `name`, or -1.
    int findByComputerName(std::string_view name) const;

private:
    RecordFile<ClientCodec> file_;
    StoreNotifier& notifier_;
};

// Reads an address text the way the Clients page does: the numbers before each of
// the first three dots and what remains, non-numbers as 0, each cut to its low
// 8 bits; a text with fewer than three dots gives 0.0.0.0.
platform::Ipv4Address parseAddressText(std::string_view text);

// Lookups on a plain list of stations, for tools reading the file without a table.
int findStationByAddress(std::span<const ClientEntry> entries, const platform::Ipv4Address& address);
int findStationByComputerName(std::span<const ClientEntry> entries, std::string_view name);

} // namespace store
