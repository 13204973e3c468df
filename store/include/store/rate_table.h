#pragma once
// The rate table "BriskoRate" and the charge for a session's elapsed time.

#include "store/record_file.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace store {

inline constexpr std::int32_t kRepeatBlock = -1; // block count shown as "etc."

struct RateBlock {
    std::string blockDuration; // "hh:mm:ss"
    std::int32_t blockCount = 0;
    double price = 0.0;

    friend bool operator==(const RateBlock&, const RateBlock&) = default;
};

// 32-byte record: head word, reserved word, 12-byte duration text, count, price.
struct RateCodec {
    using Entry = RateBlock;
    static constexpr std::size_t kRecordSize = 32;
    static constexpr const char* kFileName = "BriskoRate";
    static void encode(const RateBlock& entry, Bytes record);
    static RateBlock decode(ConstBytes record);
};

// Seconds of an "hh:mm:ss" text: hh * 3600 + mm * 60 + ss from the digits at
// positions 0-1, 3-4 and 6-7. A position that is missing or not a digit counts as
// 0, so a damaged text can never give a negative duration.
int durationSeconds(std::string_view hhmmss);

// The access charge for `seconds` elapsed. The first minute is free of block
// boundaries: every boundary is crossed 60 s after its nominal time. Rows are
// walked in order; each block is paid when it starts. The result is the same
// double that adding the price block by block gives, but the cost does not grow
// with the elapsed time. A repeat row of zero duration is charged once and ends
// the charge (it would never use up the time). Zero or negative time costs 0.
double ComputeAccessCharge(const std::vector<RateBlock>& rows, std::int32_t seconds);

// What `count` additions of `addend` to `total` give in double arithmetic, in time
// that grows with the number of binary exponents crossed, not with `count`.
double addRepeatedly(double total, double addend, std::uint64_t count);

class RateTable {
public:
    explicit RateTable(const std::filesystem::path& folder) : file_(folder) {}

    [[nodiscard]] bool load() { return file_.load(); }
    [[nodiscard]] bool save() { return file_.save(); }
    void close() { file_.close(); }
    bool isLoaded() const { return file_.isLoaded(); }

    std::vector<RateBlock>& rows() { return file_.entries(); }
    const std::vector<RateBlock>& rows() const { return file_.entries(); }

    double computeAccessCharge(std::int32_t seconds) const { return store::ComputeAccessCharge(rows(), seconds); }

private:
    RecordFile<RateCodec> file_;
};

} // namespace store
