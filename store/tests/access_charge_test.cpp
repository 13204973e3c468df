// Charging: the worked tables, the guards, and agreement with adding block by block.

#include "store/rate_table.h"
#include "store/text_number.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

using namespace store;

namespace {

const std::vector<RateBlock> kWorkedTable{{"00:30:00", 1, 1.50}, {"00:15:00", 2, 0.50}, {"01:00:00", -1, 2.00}};

std::string charge(const std::vector<RateBlock>& rows, std::int32_t seconds)
{
    return formatMoney(ComputeAccessCharge(rows, seconds));
}

// Block by block, as the rule reads; a zero-length repeat row is charged once and ends it.
double chargeBlockByBlock(const std::vector<RateBlock>& rows, std::int32_t a)
{
    std::int64_t b = a <= 60 ? a : std::int64_t{a} - 60;
    double total = 0.0;
    for (std::size_t i = 0; i < rows.size() && b > 0; ++i) {
        const std::int64_t d = durationSeconds(rows[i].blockDuration);
        const std::int32_t n = rows[i].blockCount;
        if (n == -1 && d == 0)
            return total + rows[i].price;
        for (std::int32_t j = 0; (j < n || n == -1) && b > 0;) {
            total = total + rows[i].price;
            b = b - d;
            if (n != -1)
                ++j;
        }
    }
    return total;
}

double addOneByOne(double total, double addend, std::uint64_t count)
{
    for (std::uint64_t i = 0; i < count; ++i)
        total += addend;
    return total;
}

::testing::AssertionResult sameDouble(double expected, double actual)
{
    if (std::bit_cast<std::uint64_t>(expected) == std::bit_cast<std::uint64_t>(actual) ||
        (std::isnan(expected) && std::isnan(actual)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hexfloat << "expected " << expected << ", got " << actual;
}

} // namespace

TEST(AccessCharge, WorkedTable)
{
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0.00"},    {1, "1.50"},
        {60, "1.50"},   {61, "1.50"},
        {1860, "1.50"}, {1861, "2.00"},
        {2760, "2.00"}, {2761, "2.50"},
        {3660, "2.50"}, {3661, "4.50"},
        {7260, "4.50"}, {7261, "6.50"},
        {-5, "0.00"},   {std::numeric_limits<std::int32_t>::min(), "0.00"}};
    for (auto [seconds, expected] : cases)
        EXPECT_EQ(charge(kWorkedTable, seconds), expected) << seconds << " s";
}

// The example the Rates page gives the owner.
TEST(AccessCharge, TheRatesPagesExample)
{
    const std::vector<RateBlock> rows{{"00:30:00", 1, 1.50}, {"00:15:00", -1, 0.50}};
    EXPECT_EQ(charge(rows, 40 * 60), "2.00");
    // And those of the owner's guide.
    EXPECT_EQ(charge(rows, 20 * 60), "1.50");
    EXPECT_EQ(charge(rows, 70 * 60), "3.00");
}

TEST(AccessCharge, VariantsOfTheWorkedTable)
{
    auto skipped = kWorkedTable;
    skipped[1].blockCount = 0;
    EXPECT_EQ(charge(skipped, 1861), "3.50");

    const std::vector<RateBlock> noRepeat{{"00:30:00", 2, 1.00}};
    EXPECT_EQ(charge(noRepeat, 1861), "2.00");
    EXPECT_EQ(charge(noRepeat, 9999), "2.00");

    const std::vector<RateBlock> startFee{{"00:00:00", 1, 1.00}, {"00:10:00", -1, 0.25}};
    EXPECT_EQ(charge(startFee, 1), "1.25");
    EXPECT_EQ(charge(startFee, 660), "1.25");
    EXPECT_EQ(charge(startFee, 661), "1.50");
    EXPECT_EQ(charge(startFee, 1261), "1.75");

    EXPECT_EQ(charge({}, 5000), "0.00");
}

TEST(AccessCharge, ZeroLengthRepeatRowEndsTheCharge)
{
    EXPECT_EQ(charge({{"00:00:00", -1, 0.75}}, 1), "0.75");
    EXPECT_EQ(charge({{"00:00:00", -1, 0.75}}, 2000000000), "0.75");
    EXPECT_EQ(charge({{"00:10:00", 1, 1.00}, {"00:00:00", -1, 0.75}, {"00:10:00", -1, 5.00}}, 4000), "1.75");
    // Damaged durations count missing or non-digit places as 0 and never go negative.
    EXPECT_EQ(durationSeconds(""), 0);
    EXPECT_EQ(durationSeconds("  :  :  "), 0);
    EXPECT_EQ(durationSeconds("99:59:59"), 359999);
    EXPECT_EQ(durationSeconds("01:3"), 3600 + 30 * 60);
    EXPECT_EQ(charge({{"ab:cd:ef", -1, 1.0}}, 100), "1.00");
}

TEST(AccessCharge, LongSessionOnAOneSecondRepeatRow)
{
    const std::vector<RateBlock> perSecond{{"00:00:01", -1, 0.01}};
    const std::int32_t thirtyDays = 30 * 24 * 3600;
    EXPECT_TRUE(sameDouble(chargeBlockByBlock(perSecond, thirtyDays), ComputeAccessCharge(perSecond, thirtyDays)));
    EXPECT_EQ(charge(perSecond, thirtyDays), "25919.40");
}

TEST(AccessCharge, EqualsBlockByBlockOnRandomTables)
{
    std::mt19937 random(20240607);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const double prices[] = {0.0, 0.01, 0.05, 0.1, 0.25, 0.3, 0.5, 0.7, 1.0, 1.15, 2.5, 3.33, 10.0};
    for (int round = 0; round < 400; ++round) {
        std::vector<RateBlock> rows(static_cast<std::size_t>(pick(0, 5)));
        for (auto& row : rows) {
            char text[9];
            std::snprintf(text, sizeof text, "%02d:%02d:%02d", pick(0, 1), pick(0, 59), pick(0, 59));
            if (pick(0, 5) == 0)
                std::snprintf(text, sizeof text, "00:00:%02d", pick(0, 3));
            row.blockDuration = text;
            row.blockCount = pick(-2, 6);
            row.price =
                pick(0, 3) == 0 ? std::uniform_real_distribution<double>(0.0, 5.0)(random) : prices[pick(0, 12)];
        }
        for (int k = 0; k < 10; ++k) {
            const std::int32_t seconds = pick(0, 3) == 0 ? pick(-10, 200) : pick(0, 3 * 24 * 3600);
            SCOPED_TRACE(::testing::Message() << "round " << round << ", " << seconds << " s");
            EXPECT_TRUE(sameDouble(chargeBlockByBlock(rows, seconds), ComputeAccessCharge(rows, seconds)));
        }
    }
}

TEST(RepeatedAddition, MatchesAddingOneByOneBitForBit)
{
    std::mt19937_64 random(7);
    auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    for (int round = 0; round < 3000; ++round) {
        double total = 0.0, addend = 0.0;
        switch (round % 6) {
        case 0:
            total = 0.0;
            addend = uniform(0.0, 3.0);
            break;
        case 1:
            total = uniform(0.0, 1e6);
            addend = uniform(0.0, 1.0);
            break;
        case 2:
            total = uniform(-1e3, 1e3);
            addend = uniform(-2.0, 2.0);
            break;
        case 3: // exact halves of a unit in the last place, where rounding ties to even
            total = std::ldexp(uniform(1.0, 2.0), 20);
            addend = std::ldexp(static_cast<double>(2 * (random() % 8) + 1), 20 - 53);
            break;
        case 4:
            total = uniform(0.0, 1e-300) * 1e-8;
            addend = uniform(0.0, 1e-310);
            break;
        case 5:
            total = uniform(1e15, 1e16);
            addend = uniform(0.0, 0.6);
            break;
        }
        const std::uint64_t count = random() % 20000;
        SCOPED_TRACE(::testing::Message() << std::hexfloat << total << " + " << addend << " x " << count);
        EXPECT_TRUE(sameDouble(addOneByOne(total, addend, count), addRepeatedly(total, addend, count)));
    }
    EXPECT_TRUE(sameDouble(addOneByOne(1.0, -0.5, 2), addRepeatedly(1.0, -0.5, 2))); // +0, not -0
    const double big = std::numeric_limits<double>::max() / 2;
    EXPECT_TRUE(sameDouble(addOneByOne(big, big / 3, 10), addRepeatedly(big, big / 3, 10)));
    EXPECT_TRUE(std::isinf(addRepeatedly(0.0, big, 5)));
}
