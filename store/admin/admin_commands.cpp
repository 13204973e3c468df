#include "admin_commands.h"

#include "csv.h"

#include "platform/clock.h"
#include "platform/local_time.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/day_total.h"
#include "store/file_names.h"
#include "store/journal_format.h"
#include "store/journal_reader.h"
#include "store/open_state_file.h"
#include "store/printer_table.h"
#include "store/rate_table.h"
#include "store/read_only_file.h"
#include "store/sale_item_table.h"
#include "store/text_number.h"

#include <ostream>

namespace store::admin {

namespace fs = std::filesystem;
using store::formatMoney;

namespace {

template <store::RecordCodec Codec>
std::optional<std::vector<typename Codec::Entry>> readTable(const fs::path& dir, Streams io)
{
    auto image = store::readRecordFile<Codec>(dir);
    if (!image.ok() && !image.missing()) {
        io.err << "brisko-admin: cannot read " << Codec::kFileName << " (error " << static_cast<int>(image.error)
               << ")\n";
        return std::nullopt;
    }
    return std::move(image.entries); // a missing file is an empty table, as the console would create it
}

// Prints a table one row a line, numbered from 1; `printRow` writes what follows the number.
template <store::RecordCodec Codec, class PrintRow>
int listTable(const fs::path& dir, Streams io, PrintRow printRow)
{
    auto rows = readTable<Codec>(dir, io);
    if (!rows)
        return 1;
    int number = 0;
    for (const auto& row : *rows) {
        io.out << ++number;
        printRow(row);
        io.out << "\n";
    }
    return 0;
}

bool isDurationForm(const std::string& text)
{
    auto digit = [&](std::size_t i, char highest) { return text[i] >= '0' && text[i] <= highest; };
    return text.size() == 8 && text[2] == ':' && text[5] == ':' && digit(0, '9') && digit(1, '9') && digit(3, '5') &&
           digit(4, '9') && digit(6, '5') && digit(7, '9');
}

template <store::RecordCodec Codec>
void checkRecordSize(const store::RecordFileImage<Codec>& image, std::ostream& out, int& problems)
{
    if (!image.ok() && !image.missing()) {
        out << Codec::kFileName << ": cannot be read (error " << static_cast<int>(image.error) << ")\n";
        ++problems;
    } else if (image.trailingBytes() != 0) {
        out << Codec::kFileName << ": size " << image.size << " is not a whole number of " << Codec::kRecordSize
            << "-byte records\n";
        ++problems;
    }
}

void checkConfiguration(const fs::path& dir, std::ostream& out, int& problems)
{
    auto image = store::readFileImage(dir / store::kConfigFileName);
    if (image.missing() || (image.ok() && image.bytes.empty()))
        return; // the console starts with the empty password
    if (!image.ok()) {
        out << store::kConfigFileName << ": cannot be read (error " << static_cast<int>(image.error) << ")\n";
        ++problems;
        return;
    }
    if (image.bytes.size() != store::Configuration::kFileSize) {
        out << store::kConfigFileName << ": size " << image.bytes.size() << ", expected "
            << store::Configuration::kFileSize << "\n";
        ++problems;
    }
    if (!store::Configuration::decode(image.bytes).record.isValid()) {
        out << store::kConfigFileName << ": Invalid Configuration file\n";
        ++problems;
    }
}

void checkJournal(const fs::path& dir, std::ostream& out, int& problems)
{
    auto opened = platform::SharedFile::openReader(dir / store::kJournalFileName);
    const platform::FileError error = opened.error_or(platform::FileError::None);
    if (error == platform::FileError::NotFound)
        return;
    auto file = std::move(opened).value_or(platform::SharedFile{});
    store::JournalReader reader(file);
    if (!file.isOpen() || !reader.ok()) {
        out << store::kJournalFileName << ": cannot be read (error " << static_cast<int>(error) << ")\n";
        ++problems;
        return;
    }
    store::JournalReader::Head head;
    auto step = store::JournalReader::Step::Entry;
    while ((step = reader.nextHead(head)) == store::JournalReader::Step::Entry) {
    }
    switch (step) {
    case store::JournalReader::Step::Torn:
        out << store::kJournalFileName << ": entry at offset " << reader.nextOffset()
            << " is incomplete (the file ends at " << reader.end() << ")\n";
        ++problems;
        break;
    case store::JournalReader::Step::Damaged:
        out << store::kJournalFileName << ": entry at offset " << reader.nextOffset() << " has line count "
            << head.lineCount << "\n";
        ++problems;
        break;
    case store::JournalReader::Step::Error:
        out << store::kJournalFileName << ": read error at offset " << reader.nextOffset() << "\n";
        ++problems;
        break;
    default:
        break;
    }
}

} // namespace

int showCharge(const fs::path& dir, std::int32_t seconds, Streams io)
{
    auto rows = readTable<store::RateCodec>(dir, io);
    if (!rows)
        return 1;
    io.out << formatMoney(store::ComputeAccessCharge(*rows, seconds)) << "\n";
    return 0;
}

int showRates(const fs::path& dir, Streams io)
{
    return listTable<store::RateCodec>(dir, io, [&](const store::RateBlock& row) {
        io.out << ' ' << row.blockDuration << ' '
               << (row.blockCount == store::kRepeatBlock ? std::string("etc.") : std::to_string(row.blockCount)) << ' '
               << formatMoney(row.price);
    });
}

int showClients(const fs::path& dir, Streams io)
{
    return listTable<store::ClientCodec>(dir, io, [&](const store::ClientEntry& entry) {
        io.out << '\t' << entry.computerName << '\t' << entry.address.toString();
    });
}

int showItems(const fs::path& dir, Streams io)
{
    return listTable<store::SaleItemCodec>(dir, io, [&](const store::SaleItem& item) {
        io.out << '\t' << item.description << '\t' << formatMoney(item.price) << '\t'
               << (item.fixedPrice ? "fixed" : "varies");
    });
}

int showPrinters(const fs::path& dir, Streams io)
{
    return listTable<store::PrinterCodec>(dir, io, [&](const store::PrinterEntry& printer) {
        io.out << '\t' << printer.serverName << '\t' << printer.printerName << '\t' << formatMoney(printer.pagePrice);
    });
}

bool forEachJournalLine(const fs::path& dir, const JournalLineVisitor& visit, Streams io)
{
    auto opened = platform::SharedFile::openReader(dir / store::kJournalFileName);
    const platform::FileError error = opened.error_or(platform::FileError::None);
    auto file = std::move(opened).value_or(platform::SharedFile{});
    store::JournalReader reader(file);
    if (!file.isOpen() || !reader.ok()) {
        io.err << "brisko-admin: cannot read " << store::kJournalFileName << " (error " << static_cast<int>(error)
               << ")\n";
        return false;
    }
    store::JournalReader::Head head;
    auto step = store::JournalReader::Step::Entry;
    for (int bill = 0; (step = reader.nextHead(head)) == store::JournalReader::Step::Entry; ++bill) {
        for (std::int32_t i = 0; i < head.lineCount; ++i) {
            auto bytes = reader.nextLine();
            if (bytes.empty()) {
                step = store::JournalReader::Step::Error;
                break;
            }
            visit(bill, head.chargedAt, store::decodeBillLine(bytes));
        }
        if (step == store::JournalReader::Step::Error)
            break;
    }
    if (step != store::JournalReader::Step::End) {
        io.err << "brisko-admin: " << store::kJournalFileName << " cannot be read past offset " << reader.nextOffset()
               << "\n";
        return false;
    }
    return true;
}

int showJournal(const fs::path& dir, bool csv, Streams io)
{
    if (csv)
        io.out << csvRecord({"Date", "Station", "Description", "Price"});
    const bool whole = forEachJournalLine(
        dir,
        [&](int, std::time_t chargedAt, const store::BillLine& line) {
            const std::string when = platform::formatLocalTime("%Y-%m-%d %H:%M:%S", chargedAt);
            if (csv)
                io.out << csvRecord({when, std::to_string(line.station), line.description, line.priceText});
            else
                io.out << when << '\t' << line.station << '\t' << line.description << '\t' << line.priceText << "\n";
        },
        io);
    return whole ? 0 : 1;
}

int showDayTotal(const fs::path& dir, const std::optional<std::string>& isoDate, Streams io)
{
    const auto today = store::LocalDay::containing(platform::SystemClock().now());
    auto day = isoDate ? store::LocalDay::parse(*isoDate) : std::optional(today);
    if (!day) {
        io.err << "brisko-admin: no such date: " << *isoDate << "\n";
        return 2;
    }
    // Today counts as the console counts it; another day counts only its own bills.
    const auto rule = *day == today ? store::DayTotalRule::FromFirstEntryOfDay : store::DayTotalRule::OnlyEntriesOfDay;
    auto file = platform::SharedFile::openReader(dir / store::kJournalFileName).value_or(platform::SharedFile{});
    store::DayTotalScan scan;
    if (!file.isOpen() || !store::continueDayTotal(file, *day, rule, scan)) {
        io.out << "Report Unavailable\n";
        return 1;
    }
    io.out << formatMoney(scan.total) << "\n";
    return 0;
}

int showOpenBills(const fs::path& dir, Streams io)
{
    auto decoded = store::OpenStateFile::read(dir);
    if (!decoded) {
        io.err << "brisko-admin: cannot read " << store::kOpenStateFileName << "\n";
        return 1;
    }
    auto print = [&](const std::string& caption, std::int32_t station, const std::vector<store::BillItem>& items) {
        for (const store::BillItem& line : items)
            io.out << caption << '\t' << station << '\t' << line.description << '\t' << line.priceText << "\n";
    };
    for (const store::KeptBill& bill : decoded->state.bills)
        print(bill.caption, bill.station, bill.items);
    // Stations stopped together whose bill still waits for the others.
    for (const store::KeptStation& station : decoded->state.stations)
        if (station.sessionBill.open)
            print(station.sessionBill.stationsText, station.sessionBill.lastStationNumber, station.sessionBill.items);
    if (decoded->outcome != store::DecodedOpenState::Outcome::Whole) {
        io.err << "brisko-admin: " << store::kOpenStateFileName << " cannot be read whole: " << decoded->fault << "\n";
        return 1;
    }
    return 0;
}

int checkFiles(const fs::path& dir, Streams io)
{
    int problems = 0;
    checkConfiguration(dir, io.out, problems);

    if (auto open = store::OpenStateFile::read(dir); open && open->outcome != store::DecodedOpenState::Outcome::Whole) {
        io.out << store::kOpenStateFileName << ": " << open->fault << "\n";
        ++problems;
    }

    auto clients = store::readRecordFile<store::ClientCodec>(dir);
    checkRecordSize(clients, io.out, problems);
    if (clients.entries.size() > static_cast<std::size_t>(store::kMaxStations)) {
        io.out << store::kClientFileName << ": " << clients.entries.size() << " stations, more than "
               << store::kMaxStations << "\n";
        ++problems;
    }

    auto rates = store::readRecordFile<store::RateCodec>(dir);
    checkRecordSize(rates, io.out, problems);
    for (std::size_t i = 0; i < rates.entries.size(); ++i) {
        const auto& row = rates.entries[i];
        if (!isDurationForm(row.blockDuration)) {
            io.out << store::kRateFileName << ": rate " << i + 1 << " has block duration \"" << row.blockDuration
                   << "\", not hh:mm:ss\n";
            ++problems;
        } else if (row.blockCount == store::kRepeatBlock && store::durationSeconds(row.blockDuration) == 0) {
            io.out << store::kRateFileName << ": rate " << i + 1 << " repeats with zero duration\n";
            ++problems;
        }
    }

    checkRecordSize(store::readRecordFile<store::SaleItemCodec>(dir), io.out, problems);
    checkRecordSize(store::readRecordFile<store::PrinterCodec>(dir), io.out, problems);
    checkJournal(dir, io.out, problems);
    return problems == 0 ? 0 : 1;
}

} // namespace store::admin
