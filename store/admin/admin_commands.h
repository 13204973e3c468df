#pragma once
// The reading commands of brisko-admin. Each reads the files of one folder
// through read-only handles (no lock, nothing created or changed), writes its
// report and returns the exit status. (reset-password, the one that writes,
// lives in reset_password.h.)

#include "store/journal_format.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace store::admin {

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

int showCharge(const std::filesystem::path& dir, std::int32_t seconds, Streams io);
int showRates(const std::filesystem::path& dir, Streams io);
int showClients(const std::filesystem::path& dir, Streams io);
int showItems(const std::filesystem::path& dir, Streams io);
int showPrinters(const std::filesystem::path& dir, Streams io);
// Every line of the bills journal in `dir`, in order, with its bill's number
// (0, 1, ...) and the time it was charged. False, after telling `io.err` why,
// when the journal cannot be read to its end; the lines before were visited.
using JournalLineVisitor = std::function<void(int bill, std::time_t chargedAt, const store::BillLine& line)>;
bool forEachJournalLine(const std::filesystem::path& dir, const JournalLineVisitor& visit, Streams io);

int showJournal(const std::filesystem::path& dir, bool csv, Streams io);
// `isoDate` "YYYY-MM-DD", or none for today.
int showDayTotal(const std::filesystem::path& dir, const std::optional<std::string>& isoDate, Streams io);
// The unpaid and open bills of "BriskoOpen", one line per bill line.
int showOpenBills(const std::filesystem::path& dir, Streams io);
int checkFiles(const std::filesystem::path& dir, Streams io);

} // namespace store::admin
