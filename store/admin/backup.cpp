#include "backup.h"

#include "platform/shared_file.h"
#include "platform/small_file.h"
#include "store/file_names.h"
#include "store/journal_reader.h"

#include <array>
#include <ostream>

namespace store::admin {

namespace {

namespace fs = std::filesystem;

constexpr int kReadTries = 5;

enum class Kind { Table, Journal, Log };

struct DataFile {
    const char* name;
    Kind kind;
};

constexpr std::array<DataFile, 11> kDataFiles{{
    {store::kConfigFileName, Kind::Table},
    {store::kClientFileName, Kind::Table},
    {store::kRateFileName, Kind::Table},
    {store::kSaleItemFileName, Kind::Table},
    {store::kPrinterFileName, Kind::Table},
    {store::kOpenStateFileName, Kind::Table},
    {"BriskoKey", Kind::Table},
    {"BriskoKeyless", Kind::Table},
    {"BriskoPrinted", Kind::Table},
    {store::kJournalFileName, Kind::Journal},
    {store::kLogFileName, Kind::Log},
}};

// The whole file as it is now, read as the console lets readers; nullopt when
// it cannot be read.
std::optional<std::string> currentBytes(const fs::path& file)
{
    auto reader = platform::SharedFile::openReader(file);
    auto bytes = reader ? reader->readAll() : std::nullopt;
    if (!bytes)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size());
}

// The bytes of a table two reads agree on; nullopt when they kept changing
// or could not be read.
std::optional<std::string> steadyBytes(const fs::path& file)
{
    auto first = currentBytes(file);
    for (int i = 0; first && i < kReadTries; ++i) {
        auto second = currentBytes(file);
        if (second == first)
            return first;
        first = std::move(second);
    }
    return std::nullopt;
}

// The journal's copy up to its last whole bill: false when it cannot be read.
bool cutJournalCopy(const fs::path& copy)
{
    auto file = platform::SharedFile::openReader(copy).value_or(platform::SharedFile{});
    store::JournalReader reader(file);
    if (!file.isOpen() || !reader.ok())
        return false;
    store::JournalReader::Head head;
    auto step = store::JournalReader::Step::Entry;
    while ((step = reader.nextHead(head)) == store::JournalReader::Step::Entry) {
    }
    if (step == store::JournalReader::Step::End)
        return true;
    const std::uint64_t whole = reader.nextOffset();
    file.close();
    std::error_code ec;
    fs::resize_file(copy, whole, ec);
    return !ec;
}

} // namespace

int backUp(const fs::path& dir, const fs::path& target, Streams io)
{
    std::error_code ec;
    if (fs::exists(target, ec) && fs::equivalent(dir, target, ec)) {
        io.err << "brisko-admin: the backup cannot go into the data folder itself\n";
        return 2;
    }
    fs::create_directories(target, ec);
    if (!fs::is_directory(target, ec)) {
        io.err << "brisko-admin: " << target.string() << " is not a folder that can be made\n";
        return 1;
    }
    int copied = 0;
    int failed = 0;
    for (const DataFile& data : kDataFiles) {
        const fs::path from = dir / data.name;
        if (!fs::exists(from, ec))
            continue;
        std::optional<std::string> bytes = data.kind == Kind::Table ? steadyBytes(from) : currentBytes(from);
        if (bytes && data.kind == Kind::Log)
            bytes->erase(bytes->rfind('\n') == std::string::npos ? 0 : bytes->rfind('\n') + 1);
        const fs::path to = target / data.name;
        const bool written =
            bytes && platform::replaceSmallFile(to, *bytes) && (data.kind != Kind::Journal || cutJournalCopy(to));
        if (!written) {
            io.err << "brisko-admin: " << data.name << " could not be copied\n";
            ++failed;
            continue;
        }
        ++copied;
    }
    io.out << copied << " files copied to " << target.string() << "\n";
    return failed == 0 ? 0 : 1;
}

} // namespace store::admin
