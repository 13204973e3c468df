#include "console/configuration/rates_page.h"

#include "page_test_support.h"

#include "store/rate_table.h"

#include <gtest/gtest.h>

namespace console::configuration {
namespace {

using test::ScriptedPrompts;
using test::TempFolder;
using Strings = std::vector<std::string>;

const std::vector<store::RateBlock> kCafeRates{
    {"00:30:00", 1, 1.50},
    {"00:15:00", 2, 0.50},
    {"01:00:00", -1, 2.00},
};

class RatesPageTest : public ::testing::Test {
protected:
    void startWith(const std::vector<store::RateBlock>& blocks)
    {
        {
            store::RateTable writer(folder.path());
            ASSERT_TRUE(writer.load());
            writer.rows() = blocks;
            ASSERT_TRUE(writer.save());
        }
        ASSERT_TRUE(rates.load());
    }

    std::vector<store::RateBlock> savedRates()
    {
        return test::savedContents(
            rates, [&] { return store::RateTable(folder.path()); }, [](auto& reader) { return reader.rows(); });
    }

    // Types a duration into a field the way the operator does.
    static void typeDuration(fields::DurationField& field, const std::string& hhmmss)
    {
        field.setSelection(0, 0);
        for (const char c : hhmmss)
            if (c != ':')
                field.typeChar(c);
    }

    TempFolder folder;
    store::RateTable rates{folder.path()};
    ScriptedPrompts prompts;
};

TEST_F(RatesPageTest, OpeningShowsTheBlocksWithRepeatAsEtc)
{
    startWith(kCafeRates);
    RatesPage page(rates, prompts);
    ASSERT_EQ(page.list().rowCount(), 3);
    EXPECT_EQ(page.list().row(0), (Strings{"1", "00:30:00", "1", "1.50"}));
    EXPECT_EQ(page.list().row(2), (Strings{"3", "01:00:00", "etc.", "2.00"}));
    EXPECT_EQ(page.countField().text, "3");
    EXPECT_FALSE(page.durationEnabled());
    EXPECT_FALSE(page.priceEnabled());
    EXPECT_EQ(page.durationEditor().text(), "00:00:00");
    EXPECT_EQ(page.testDuration().text(), "00:00:00");
}

TEST_F(RatesPageTest, EditorLoadsTheFirstSelectedRowAndLockTheLastRowsCount)
{
    startWith(kCafeRates);
    RatesPage page(rates, prompts);
    page.setRowSelected(1, true);
    EXPECT_EQ(page.rateField().text, "2");
    EXPECT_EQ(page.durationEditor().text(), "00:15:00");
    EXPECT_EQ(page.blockCountField().text, "2");
    EXPECT_TRUE(page.blockCountField().enabled);
    EXPECT_EQ(page.priceEditor().text(), "0.50");
    EXPECT_TRUE(page.durationEnabled());

    page.setRowSelected(1, false);
    page.setRowSelected(2, true);
    EXPECT_EQ(page.blockCountField().text, "");
    EXPECT_FALSE(page.blockCountField().enabled);

    page.clearSelection();
    EXPECT_EQ(page.rateField().text, "");
    EXPECT_EQ(page.durationEditor().text(), "");
    EXPECT_EQ(page.priceEditor().text(), "");
    EXPECT_EQ(page.blockCountField().text, "");
    EXPECT_FALSE(page.durationEnabled());
    EXPECT_FALSE(page.priceEnabled());
    EXPECT_FALSE(page.blockCountField().enabled);
}

TEST_F(RatesPageTest, RaisingTheCountFrom3To5)
{
    startWith(kCafeRates);
    RatesPage page(rates, prompts);
    page.setCountText("5");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(page.list().row(2), (Strings{"3", "01:00:00", "0", "2.00"}));
    EXPECT_EQ(page.list().row(3), (Strings{"4", "00:00:01", "1", "0.00"}));
    EXPECT_EQ(page.list().row(4), (Strings{"5", "00:00:01", "etc.", "0.00"}));
    const auto saved = savedRates();
    ASSERT_EQ(saved.size(), 5u);
    EXPECT_EQ(saved[2].blockCount, 0);
    EXPECT_EQ(saved[3], (store::RateBlock{"00:00:01", 1, 0.0}));
    EXPECT_EQ(saved[4], (store::RateBlock{"00:00:01", -1, 0.0}));
}

TEST_F(RatesPageTest, LoweringTheCountAnsweredNoKeepsEveryRow)
{
    startWith(kCafeRates);
    RatesPage page(rates, prompts);
    prompts.answer(false);
    page.setCountText("1");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(prompts.questions, (Strings{"Delete last 2 Rates?"}));
    EXPECT_EQ(page.list().rowCount(), 3);
    EXPECT_EQ(page.countField().text, "3");
    EXPECT_EQ(savedRates(), kCafeRates);
}

TEST_F(RatesPageTest, LoweringTheCountAnsweredYesMakesTheNewLastRowRepeat)
{
    startWith(kCafeRates);
    RatesPage page(rates, prompts);
    prompts.answer(true);
    page.setCountText("2");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(page.list().row(1), (Strings{"2", "00:15:00", "etc.", "0.50"}));
    EXPECT_EQ(savedRates(), (std::vector<store::RateBlock>{{"00:30:00", 1, 1.50}, {"00:15:00", -1, 0.50}}));
}

TEST_F(RatesPageTest, SelectedRowLeftLastBySmallerCountRepeatsAndLocksItsCount)
{
    startWith(kCafeRates);
    RatesPage page(rates, prompts);
    page.setRowSelected(1, true);
    EXPECT_TRUE(page.blockCountField().enabled);
    prompts.answer(true);
    page.setCountText("2");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(page.list().row(1), (Strings{"2", "00:15:00", "etc.", "0.50"}));
    EXPECT_FALSE(page.blockCountField().enabled);
    EXPECT_EQ(page.blockCountField().text, "");
    EXPECT_EQ(savedRates()[1].blockCount, -1);
}

TEST_F(RatesPageTest, ZeroRatesEmptiesTheTableAndEverySessionIsFree)
{
    startWith(kCafeRates);
    RatesPage page(rates, prompts);
    prompts.answer(true);
    page.setCountText("0");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(page.list().rowCount(), 0);
    EXPECT_TRUE(savedRates().empty());
    typeDuration(page.testDuration(), "05:00:00");
    page.runTest();
    EXPECT_EQ(page.testResult(), "0.00");
}

TEST_F(RatesPageTest, SavingTheLastRowStoresRepeatAndCorrectsZeroDuration)
{
    startWith(kCafeRates);
    RatesPage page(rates, prompts);
    page.setRowSelected(2, true);
    typeDuration(page.durationEditor(), "00:00:00");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(prompts.messages, (Strings{"Invalid Duration\r\n\r\nCannot have zero duration for last\r\n"
                                         "rate block, setting it to 00:00:01"}));
    EXPECT_EQ(page.durationEditor().text(), "00:00:01");
    EXPECT_EQ(page.list().row(2), (Strings{"3", "00:00:01", "etc.", "2.00"}));
    EXPECT_EQ(savedRates()[2], (store::RateBlock{"00:00:01", -1, 2.00}));
}

TEST_F(RatesPageTest, ZeroDurationLeftLastByASmallerCountIsCorrectedToo)
{
    startWith({{"00:10:00", 1, 1.00}, {"00:00:00", 1, 0.50}, {"00:10:00", -1, 0.25}});
    RatesPage page(rates, prompts);
    prompts.answer(true);
    page.setCountText("2");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(page.list().row(1), (Strings{"2", "00:00:01", "etc.", "0.50"}));
    EXPECT_EQ(savedRates()[1], (store::RateBlock{"00:00:01", -1, 0.50}));
}

TEST_F(RatesPageTest, SelectedRowsAllReceiveTheEditorValues)
{
    startWith(kCafeRates);
    RatesPage page(rates, prompts);
    page.setRowSelected(0, true);
    page.setRowSelected(1, true);
    page.setRowSelected(2, true);
    typeDuration(page.durationEditor(), "00:20:00");
    page.setBlockCountText("3");
    page.priceEditor().setValue(0.75, 2);
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(page.list().row(0), (Strings{"1", "00:20:00", "3", "0.75"}));
    EXPECT_EQ(page.list().row(1), (Strings{"2", "00:20:00", "3", "0.75"}));
    EXPECT_EQ(page.list().row(2), (Strings{"3", "00:20:00", "etc.", "0.75"}));
    EXPECT_EQ(savedRates(),
              (std::vector<store::RateBlock>{{"00:20:00", 3, 0.75}, {"00:20:00", 3, 0.75}, {"00:20:00", -1, 0.75}}));
}

TEST_F(RatesPageTest, RefusedFieldsChangeNothing)
{
    startWith(kCafeRates);
    RatesPage page(rates, prompts);
    page.setRowSelected(0, true);
    page.setBlockCountText("two");
    EXPECT_EQ(page.save(), SaveOutcome::Refused);
    page.setBlockCountText("2");
    page.setCountText("x");
    EXPECT_EQ(page.save(), SaveOutcome::Refused);
    page.setCountText("100000");
    EXPECT_EQ(page.save(), SaveOutcome::Refused);
    EXPECT_EQ(prompts.messages, (Strings{"Please enter an integer.", "Please enter an integer.",
                                         "Please enter an integer between 0 and 9999."}));
    EXPECT_EQ(page.list().row(0), (Strings{"1", "00:30:00", "1", "1.50"}));
    EXPECT_EQ(savedRates(), kCafeRates);
}

TEST_F(RatesPageTest, RepeatRowInTheMiddleStaysRepeatWhenSavedUnchanged)
{
    startWith({{"00:30:00", -1, 1.00}, {"00:10:00", -1, 0.25}});
    RatesPage page(rates, prompts);
    page.setRowSelected(0, true);
    EXPECT_EQ(page.blockCountField().text, "-1");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(page.list().row(0), (Strings{"1", "00:30:00", "etc.", "1.00"}));
    EXPECT_EQ(savedRates()[0].blockCount, -1);
}

TEST_F(RatesPageTest, TestChargesFromTheSavedTableOnly)
{
    startWith(kCafeRates);
    RatesPage page(rates, prompts);
    page.runTest();
    EXPECT_EQ(page.testResult(), "0.00");

    typeDuration(page.testDuration(), "00:31:01"); // 1861 s
    page.runTest();
    EXPECT_EQ(page.testResult(), "2.00");

    // Unsaved edits do not count.
    page.setRowSelected(0, true);
    page.priceEditor().setValue(9.00, 2);
    page.setCountText("1");
    page.runTest();
    EXPECT_EQ(page.testResult(), "2.00");

    page.setCountText("3");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    page.runTest();
    EXPECT_EQ(page.testResult(), "9.50");
}

} // namespace
} // namespace console::configuration
