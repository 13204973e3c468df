#include "console_harness.h"

#include "platform/local_time.h"
#include "platform/tcp_socket.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace console::test {

namespace {

class SilentNotifier final : public store::StoreNotifier {
public:
    void showMessage(const std::string&) override {}
};

std::int32_t readInt32(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(k)]);
    return static_cast<std::int32_t>(v);
}

std::string cString(const std::string& bytes, std::size_t at, std::size_t size)
{
    std::string field = bytes.substr(at, size);
    return field.substr(0, field.find('\0'));
}

} // namespace

platform::Ipv4Address stationAddress(int i) { return {{127, 0, 0, static_cast<std::uint8_t>(i + 2)}}; }

void writeClients(const std::filesystem::path& folder, int count)
{
    std::vector<store::ClientEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({"PC" + std::to_string(i + 1), stationAddress(i)});
    writeClients(folder, entries);
}

void writeClients(const std::filesystem::path& folder, const std::vector<store::ClientEntry>& entries)
{
    SilentNotifier notifier;
    store::ClientTable table(folder, notifier);
    ASSERT_TRUE(table.load());
    table.entries() = entries;
    ASSERT_TRUE(table.save());
}

void writeStandardRates(const std::filesystem::path& folder)
{
    store::RateTable table(folder);
    ASSERT_TRUE(table.load());
    table.rows() = {{"00:30:00", 1, 1.50}, {"00:15:00", 2, 0.50}, {"01:00:00", -1, 2.00}};
    ASSERT_TRUE(table.save());
}

void writeSaleItems(const std::filesystem::path& folder, const std::vector<store::SaleItem>& items)
{
    store::SaleItemTable table(folder);
    ASSERT_TRUE(table.load());
    table.items() = items;
    ASSERT_TRUE(table.save());
}

void writePrinters(const std::filesystem::path& folder, const std::vector<store::PrinterEntry>& printers)
{
    store::PrinterTable table(folder);
    ASSERT_TRUE(table.load());
    table.entries() = printers;
    ASSERT_TRUE(table.save());
}

std::vector<std::string> logEvents(const std::filesystem::path& folder)
{
    std::vector<std::string> events;
    std::istringstream in(readFile(folder / "BriskoLog"));
    std::string line;
    while (std::getline(in, line))
        events.push_back(line.size() > 11 ? line.substr(11) : line);
    return events;
}

bool hasEvent(const std::vector<std::string>& events, const std::string& event)
{
    return std::find(events.begin(), events.end(), event) != events.end();
}

std::vector<JournalEntry> readJournal(const std::filesystem::path& folder)
{
    const std::string bytes = readFile(folder / "BriskoBills");
    std::vector<JournalEntry> entries;
    std::size_t at = 0;
    while (at + 8 <= bytes.size()) {
        JournalEntry entry;
        const std::int32_t count = readInt32(bytes, at);
        entry.stamp = readInt32(bytes, at + 4);
        at += 8;
        for (std::int32_t k = 0; k < count && at + 92 <= bytes.size(); ++k, at += 92)
            entry.lines.push_back(
                {std::to_string(readInt32(bytes, at)), cString(bytes, at + 4, 75), cString(bytes, at + 79, 13)});
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::uint16_t freePort()
{
    platform::TcpSocket probe = platform::TcpSocket::listenOn(kConsoleAddress, 0, 1).value_or(platform::TcpSocket{});
    return probe.localPort().value_or(0);
}

std::time_t noonOfTestDay()
{
    std::tm tm{};
    tm.tm_year = 124;
    tm.tm_mon = 2;
    tm.tm_mday = 1;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    return *platform::fromLocalTime(tm);
}

} // namespace console::test
