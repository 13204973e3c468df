// Costs of the data layer's hot spots: charging a long session, and the day total
// over a big journal from a fresh object (cold) and again (warm).

#include "platform/clock.h"
#include "store/bill_journal.h"
#include "store/journal_format.h"
#include "store/password_record.h"
#include "store/rate_table.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kThirtyDays = 30 * 24 * 3600;
constexpr int kBills = 1'000'000;

class SilentNotifier : public store::StoreNotifier {
public:
    void showMessage(const std::string&) override {}
};

// A journal of one million one-line bills; `today` of them (the last ones) are
// dated today, the rest yesterday.
class BigJournal {
public:
    BigJournal(int todaysBills, const char* name)
        : folder_(fs::temp_directory_path() / ("bench_store_" + std::to_string(::getpid()) + "_" + name)),
          clock_(std::time(nullptr))
    {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        const std::time_t now = clock_.now();
        std::ofstream out(folder_ / "BriskoBills", std::ios::binary);
        std::vector<std::byte> chunk;
        for (int i = 0; i < kBills; ++i) {
            const bool today = i >= kBills - todaysBills;
            auto entry = store::encodeBillEntry(today ? now - 1 : now - std::time_t{86400} * 2,
                                                {{"7", "00 hrs 45 mins 10 secs", "2.50"}});
            chunk.insert(chunk.end(), entry.begin(), entry.end());
            if (chunk.size() > (1u << 22)) {
                out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
                chunk.clear();
            }
        }
        out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
    }
    ~BigJournal() { fs::remove_all(folder_); }

    const fs::path& folder() const { return folder_; }
    const platform::Clock& clock() const { return clock_; }

private:
    fs::path folder_;
    platform::ManualClock clock_;
};

BigJournal& allToday()
{
    static BigJournal journal(kBills, "today");
    return journal;
}

BigJournal& halfToday()
{
    static BigJournal journal(kBills / 2, "half");
    return journal;
}

void BM_ComputeAccessCharge_30Days_1sRepeat(benchmark::State& state)
{
    const std::vector<store::RateBlock> rows{{"00:30:00", 1, 1.50}, {"00:15:00", 2, 0.50}, {"00:00:01", -1, 0.01}};
    for (auto _ : state)
        benchmark::DoNotOptimize(store::ComputeAccessCharge(rows, kThirtyDays));
}
BENCHMARK(BM_ComputeAccessCharge_30Days_1sRepeat);

// The same session charged by adding block after block, for comparison.
void BM_BlockByBlock_30Days_1sRepeat(benchmark::State& state)
{
    for (auto _ : state) {
        std::int64_t b = kThirtyDays - 60;
        double total = 0.0;
        while (b > 0) {
            total += 0.01;
            b -= 1;
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_BlockByBlock_30Days_1sRepeat)->Unit(benchmark::kMillisecond);

void dayTotalCold(benchmark::State& state, BigJournal& journal)
{
    SilentNotifier notifier;
    for (auto _ : state) {
        store::BillJournal fresh(journal.folder(), journal.clock(), notifier);
        benchmark::DoNotOptimize(fresh.dayTotal());
    }
}

void BM_DayTotal_Cold_1MBills_AllToday(benchmark::State& state) { dayTotalCold(state, allToday()); }
BENCHMARK(BM_DayTotal_Cold_1MBills_AllToday)->Unit(benchmark::kMillisecond);

void BM_DayTotal_Cold_1MBills_HalfToday(benchmark::State& state) { dayTotalCold(state, halfToday()); }
BENCHMARK(BM_DayTotal_Cold_1MBills_HalfToday)->Unit(benchmark::kMillisecond);

void BM_DayTotal_Warm_1MBills_AllToday(benchmark::State& state)
{
    SilentNotifier notifier;
    auto& journal = allToday();
    store::BillJournal warm(journal.folder(), journal.clock(), notifier);
    (void)warm.dayTotal();
    for (auto _ : state)
        benchmark::DoNotOptimize(warm.dayTotal());
}
BENCHMARK(BM_DayTotal_Warm_1MBills_AllToday)->Unit(benchmark::kMicrosecond);

// One password guess: the derivation is meant to cost milliseconds.
void BM_VerifyPassword(benchmark::State& state)
{
    auto record = store::PasswordRecord::build("counter 42", 70000);
    for (auto _ : state)
        benchmark::DoNotOptimize(record->verify("counter 43"));
}
BENCHMARK(BM_VerifyPassword)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
