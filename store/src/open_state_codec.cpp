#include "store/open_state_codec.h"

#include <array>
#include <bit>
#include <cstring>
#include <optional>

namespace store {

namespace {

enum class RecordType : std::uint8_t {
    Bill = 1,
    Station = 2,
    HeldClose = 3,
    HeldPrintCharge = 4,
    TakenPrintJob = 5,
    SessionEnd = 6,
    End = 0xFF
};

// Texts longer than this are taken as damage rather than allocated.
constexpr std::uint32_t kLargestText = 1u << 20;
constexpr std::uint32_t kLargestRecord = 64u << 20;
constexpr std::size_t kHeaderSize = sizeof kOpenStateMagic + 4;
constexpr std::size_t kRecordHeadSize = 5;

class Writer {
public:
    void u8(std::uint8_t v) { bytes_.push_back(static_cast<std::byte>(v)); }
    void u32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            u8(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void u64(std::uint64_t v)
    {
        u32(static_cast<std::uint32_t>(v));
        u32(static_cast<std::uint32_t>(v >> 32));
    }
    void i64(std::int64_t v) { u64(static_cast<std::uint64_t>(v)); }
    void flag(bool v) { u8(v ? 1 : 0); }
    void real(double v) { u64(std::bit_cast<std::uint64_t>(v)); }
    void text(const std::string& s)
    {
        u32(static_cast<std::uint32_t>(s.size()));
        const auto* p = reinterpret_cast<const std::byte*>(s.data());
        bytes_.insert(bytes_.end(), p, p + s.size());
    }
    void items(const std::vector<BillItem>& lines)
    {
        u32(static_cast<std::uint32_t>(lines.size()));
        for (const BillItem& line : lines) {
            text(line.stationText);
            text(line.description);
            text(line.priceText);
        }
    }
    std::vector<std::byte>& bytes() { return bytes_; }

private:
    std::vector<std::byte> bytes_;
};

// Reads a record's payload; any read past its end sets failed() and gives zeros.
class Reader {
public:
    explicit Reader(ConstBytes bytes) : bytes_(bytes) {}
    bool failed() const { return failed_; }
    bool atEnd() const { return pos_ == bytes_.size(); }

    std::uint8_t u8()
    {
        if (!has(1))
            return 0;
        return std::to_integer<std::uint8_t>(bytes_[pos_++]);
    }
    std::uint32_t u32()
    {
        if (!has(4))
            return 0;
        std::uint32_t v = getU32(bytes_, pos_);
        pos_ += 4;
        return v;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::uint64_t u64()
    {
        std::uint64_t low = u32();
        return low | (std::uint64_t{u32()} << 32);
    }
    std::int64_t i64() { return static_cast<std::int64_t>(u64()); }
    bool flag()
    {
        const std::uint8_t v = u8();
        if (v > 1)
            failed_ = true;
        return v == 1;
    }
    double real() { return std::bit_cast<double>(u64()); }
    std::string text()
    {
        const std::uint32_t length = u32();
        if (length > kLargestText || !has(length))
            return {};
        std::string s(reinterpret_cast<const char*>(bytes_.data() + pos_), length);
        pos_ += length;
        return s;
    }
    std::vector<BillItem> items()
    {
        const std::uint32_t count = u32();
        std::vector<BillItem> lines;
        for (std::uint32_t k = 0; k < count && !failed_; ++k) {
            BillItem line;
            line.stationText = text();
            line.description = text();
            line.priceText = text();
            lines.push_back(std::move(line));
        }
        return lines;
    }

private:
    bool has(std::size_t n)
    {
        if (failed_ || bytes_.size() - pos_ < n) {
            failed_ = true;
            return false;
        }
        return true;
    }

    ConstBytes bytes_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

void writeSessionBill(Writer& w, const KeptSessionBill& bill)
{
    w.i32(bill.owner);
    w.i32(bill.pendingCount);
    w.flag(bill.open);
    w.i32(bill.sessionCount);
    w.i32(bill.rowCounter);
    w.text(bill.stationsText);
    w.i64(bill.openTime);
    w.i32(bill.lastStationNumber);
    w.items(bill.items);
}

KeptSessionBill readSessionBill(Reader& r)
{
    KeptSessionBill bill;
    bill.owner = r.i32();
    bill.pendingCount = r.i32();
    bill.open = r.flag();
    bill.sessionCount = r.i32();
    bill.rowCounter = r.i32();
    bill.stationsText = r.text();
    bill.openTime = r.i64();
    bill.lastStationNumber = r.i32();
    bill.items = r.items();
    return bill;
}

void writeRecord(Writer& file, RecordType type, Writer& payload)
{
    Writer record;
    record.u8(static_cast<std::uint8_t>(type));
    record.u32(static_cast<std::uint32_t>(payload.bytes().size()));
    auto& bytes = record.bytes();
    bytes.insert(bytes.end(), payload.bytes().begin(), payload.bytes().end());
    const std::uint32_t check = crc32(bytes);
    auto& out = file.bytes();
    out.insert(out.end(), bytes.begin(), bytes.end());
    file.u32(check);
}

// Reads one record's payload into the state; false when it does not parse.
bool readPayload(RecordType type, ConstBytes payload, OpenState& state)
{
    Reader r(payload);
    switch (type) {
    case RecordType::Bill: {
        KeptBill bill;
        bill.caption = r.text();
        bill.station = r.i32();
        bill.itemMode = r.flag();
        if (r.flag())
            bill.chargingAt = r.u64();
        bill.items = r.items();
        if (r.failed() || !r.atEnd())
            return false;
        state.bills.push_back(std::move(bill));
        return true;
    }
    case RecordType::Station: {
        KeptStation s;
        s.index = r.i32();
        s.running = r.flag();
        s.starting = r.flag();
        s.swapTarget = r.flag();
        s.swapTime = r.i64();
        s.stopping = r.flag();
        s.openBillMark = r.flag();
        s.billedWhileAway = r.flag();
        s.startTime = r.i64();
        s.stopTime = r.i64();
        s.alarmChoice = r.i32();
        s.alarmTime = r.i64();
        s.sessionSerial = r.u32();
        s.accessCost = r.text();
        s.extras = r.text();
        s.total = r.text();
        s.sessionBill = readSessionBill(r);
        if (r.failed() || !r.atEnd())
            return false;
        state.stations.push_back(std::move(s));
        return true;
    }
    case RecordType::HeldClose: {
        KeptClose c;
        c.index = r.i32();
        c.elapsed = r.i32();
        c.at = r.i64();
        if (r.failed() || !r.atEnd())
            return false;
        state.held.emplace_back(c);
        return true;
    }
    case RecordType::HeldPrintCharge: {
        KeptPrintCharge c;
        c.station = r.i32();
        c.line.stationText = r.text();
        c.line.description = r.text();
        c.line.priceText = r.text();
        c.amount = r.real();
        c.running = r.flag();
        c.sessionSerial = r.u32();
        if (r.failed() || !r.atEnd())
            return false;
        state.held.emplace_back(std::move(c));
        return true;
    }
    case RecordType::TakenPrintJob: {
        std::string key = r.text();
        if (r.failed() || !r.atEnd())
            return false;
        state.takenPrintJobs.push_back(std::move(key));
        return true;
    }
    case RecordType::SessionEnd: {
        KeptSessionEnd e;
        e.index = r.i32();
        e.end = r.i64();
        if (r.failed() || !r.atEnd())
            return false;
        state.sessionEnds.push_back(e);
        return true;
    }
    case RecordType::End:
        break;
    }
    return false;
}

} // namespace

std::uint32_t crc32(ConstBytes bytes)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::byte b : bytes)
        c = table[(c ^ std::to_integer<std::uint32_t>(b)) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::vector<std::byte> encodeOpenState(const OpenState& state)
{
    Writer file;
    for (char c : kOpenStateMagic)
        file.u8(static_cast<std::uint8_t>(c));
    file.u32(kOpenStateVersion);
    std::uint32_t records = 0;
    for (const KeptBill& bill : state.bills) {
        Writer w;
        w.text(bill.caption);
        w.i32(bill.station);
        w.flag(bill.itemMode);
        w.flag(bill.chargingAt.has_value());
        if (bill.chargingAt)
            w.u64(*bill.chargingAt);
        w.items(bill.items);
        writeRecord(file, RecordType::Bill, w);
        ++records;
    }
    for (const KeptStation& s : state.stations) {
        Writer w;
        w.i32(s.index);
        w.flag(s.running);
        w.flag(s.starting);
        w.flag(s.swapTarget);
        w.i64(s.swapTime);
        w.flag(s.stopping);
        w.flag(s.openBillMark);
        w.flag(s.billedWhileAway);
        w.i64(s.startTime);
        w.i64(s.stopTime);
        w.i32(s.alarmChoice);
        w.i64(s.alarmTime);
        w.u32(s.sessionSerial);
        w.text(s.accessCost);
        w.text(s.extras);
        w.text(s.total);
        writeSessionBill(w, s.sessionBill);
        writeRecord(file, RecordType::Station, w);
        ++records;
    }
    for (const KeptHeldWork& work : state.held) {
        Writer w;
        if (const auto* c = std::get_if<KeptClose>(&work)) {
            w.i32(c->index);
            w.i32(c->elapsed);
            w.i64(c->at);
            writeRecord(file, RecordType::HeldClose, w);
        } else {
            const auto& p = std::get<KeptPrintCharge>(work);
            w.i32(p.station);
            w.text(p.line.stationText);
            w.text(p.line.description);
            w.text(p.line.priceText);
            w.real(p.amount);
            w.flag(p.running);
            w.u32(p.sessionSerial);
            writeRecord(file, RecordType::HeldPrintCharge, w);
        }
        ++records;
    }
    for (const std::string& key : state.takenPrintJobs) {
        Writer w;
        w.text(key);
        writeRecord(file, RecordType::TakenPrintJob, w);
        ++records;
    }
    for (const KeptSessionEnd& e : state.sessionEnds) {
        Writer w;
        w.i32(e.index);
        w.i64(e.end);
        writeRecord(file, RecordType::SessionEnd, w);
        ++records;
    }
    Writer end;
    end.u32(records);
    writeRecord(file, RecordType::End, end);
    return std::move(file.bytes());
}

DecodedOpenState decodeOpenState(ConstBytes bytes)
{
    DecodedOpenState result;
    if (bytes.empty())
        return result;
    auto damaged = [&result](std::string why) {
        result.outcome = DecodedOpenState::Outcome::Damaged;
        result.fault = std::move(why);
        return result;
    };
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kOpenStateMagic, sizeof kOpenStateMagic) != 0)
        return damaged("it does not start as the file should");
    const std::uint32_t version = getU32(bytes, sizeof kOpenStateMagic);
    if (version != kOpenStateVersion) {
        result.outcome = DecodedOpenState::Outcome::UnknownVersion;
        result.fault = "it was written by another version (" + std::to_string(version) + ")";
        return result;
    }
    std::size_t pos = kHeaderSize;
    std::uint32_t records = 0;
    while (pos < bytes.size()) {
        if (bytes.size() - pos < kRecordHeadSize + 4)
            return damaged("it ends inside a record");
        const auto type = static_cast<RecordType>(std::to_integer<std::uint8_t>(bytes[pos]));
        const std::uint32_t length = getU32(bytes, pos + 1);
        if (length > kLargestRecord || bytes.size() - pos - kRecordHeadSize - 4 < length)
            return damaged("it ends inside a record");
        const ConstBytes checked = bytes.subspan(pos, kRecordHeadSize + length);
        if (crc32(checked) != getU32(bytes, pos + kRecordHeadSize + length))
            return damaged("a record fails its checksum");
        const ConstBytes payload = checked.subspan(kRecordHeadSize);
        pos += kRecordHeadSize + length + 4;
        if (type == RecordType::End) {
            Reader r(payload);
            const std::uint32_t counted = r.u32();
            if (r.failed() || !r.atEnd() || counted != records)
                return damaged("its record count does not match");
            if (pos != bytes.size())
                return damaged("it goes on after its end");
            return result;
        }
        if (!readPayload(type, payload, result.state))
            return damaged("a record cannot be read");
        ++records;
    }
    return damaged("its end is missing");
}

} // namespace store
