#pragma once
// The printers file "BriskoPrinter": page prices per printer of the print server.

#include "store/record_file.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace store {

struct PrinterEntry {
    std::string serverName;
    std::string printerName;
    double pagePrice = 0.0;

    friend bool operator==(const PrinterEntry&, const PrinterEntry&) = default;
};

// 528-byte record: head word, reserved word, 256-byte server name, 256-byte
// printer name, page price.
struct PrinterCodec {
    using Entry = PrinterEntry;
    static constexpr std::size_t kRecordSize = 528;
    static constexpr const char* kFileName = "BriskoPrinter";
    static void encode(const PrinterEntry& entry, Bytes record);
    static PrinterEntry decode(ConstBytes record);
};

class PrinterTable {
public:
    explicit PrinterTable(const std::filesystem::path& folder) : file_(folder) {}

    [[nodiscard]] bool load() { return file_.load(); }
    [[nodiscard]] bool save() { return file_.save(); }
    void close() { file_.close(); }
    bool isLoaded() const { return file_.isLoaded(); }

    std::vector<PrinterEntry>& entries() { return file_.entries(); }
    const std::vector<PrinterEntry>& entries() const { return file_.entries(); }

    // Page price of the first printer with exactly this name (case-sensitive), or -1.0.
    double lookupPagePrice(std::string_view printer) const;
    // Server name of the first entry; empty for an empty table.
    std::string printServerName() const;

private:
    RecordFile<PrinterCodec> file_;
};

} // namespace store
