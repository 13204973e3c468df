#include "console/configuration/rates_page.h"

#include "console/configuration/count_field.h"
#include "console/configuration/page_text.h"
#include "console/texts.h"

#include "store/text_number.h"

#include "store/rate_table.h"

#include <optional>
#include <vector>

namespace console::configuration {
namespace {

// "#" of a block count: the repeat row reads "etc.".
std::string countText(int count) { return count == -1 ? kRepeatText : decimalText(count); }

// A "#" text read back: "etc." repeats, anything else is its integer value.
int countValue(const std::string& text) { return text == kRepeatText ? -1 : store::parseIntText(text); }

} // namespace

RatesPage::RatesPage(store::RateTable& rates, OperatorPrompts& prompts)
    : ListPage(kColumns.size(), prompts), rates_(rates)
{
    // A file that cannot be read is silent: the page shows what the table holds,
    // and the next opening tries the file again.
    (void)rates_.load();
    fillList();
    loadEditor();
    // The page opens with both duration fields at zero; the editor stays disabled.
    duration_.setText(kZeroDuration);
    testDuration_.setText(kZeroDuration);
}

void RatesPage::fillList()
{
    list_.clear();
    int number = 0;
    for (const store::RateBlock& block : rates_.rows())
        list_.append(
            {decimalText(++number), block.blockDuration, countText(block.blockCount), store::formatMoney(block.price)});
    count_.text = decimalText(list_.rowCount());
}

void RatesPage::loadEditor()
{
    const std::optional<int> first = list_.firstSelected();
    rate_.enabled = false;
    blockCount_.enabled = false;
    if (!first) {
        rate_.text.clear();
        blockCount_.text.clear();
        duration_.setText("");
        price_.setText("");
        return;
    }
    const PageRow& row = list_.row(*first);
    rate_.text = decimalText(store::parseIntText(row[kNumberColumn]));
    duration_.setText(row[kDurationColumn]);
    if (*first == lastRow()) {
        blockCount_.text.clear();
    } else {
        blockCount_.text = decimalText(countValue(row[kCountColumn]));
        blockCount_.enabled = true;
    }
    price_.setValue(store::parseMoneyText(row[kPriceColumn]), 2);
}

SaveOutcome RatesPage::save()
{
    const std::optional<int> wanted = readCountField(count_.text, 0, kMaxTableRows, prompts_);
    if (!wanted)
        return SaveOutcome::Refused;
    // A disabled "Block count:" belongs to the last row, which repeats.
    int blockCount = -1;
    if (blockCount_.enabled) {
        // A row is charged 0 (skipped) or more times, or -1 ("etc.") repeats, as
        // a row in the middle may from the file; no other negative count means anything.
        const std::optional<int> typed = parseIntegerField(blockCount_.text);
        if (!typed) {
            prompts_.showMessage(kEnterIntegerMessage);
            return SaveOutcome::Refused;
        }
        if (*typed < -1 || *typed > kMaxBlockCount) {
            prompts_.showMessage(integerRangeMessage(-1, kMaxBlockCount));
            return SaveOutcome::Refused;
        }
        blockCount = *typed;
    }
    applyCount(*wanted);
    applyEditorToSelection(blockCount);
    correctZeroDurationLastRow();
    rebuildTable();
    // Rows may have gone or become last as well.
    return finishSave(rates_.save());
}

void RatesPage::applyCount(int wanted)
{
    const int former = list_.rowCount();
    if (wanted < former) {
        if (!confirmDeletion(wanted, kRateRowsName))
            return;
        list_.truncate(wanted);
        if (list_.rowCount() > 0)
            list_.setCell(lastRow(), kCountColumn, kRepeatText);
    } else if (wanted > former) {
        if (former > 0)
            list_.setCell(lastRow(), kCountColumn, "0");
        for (int number = former + 1; number <= wanted; ++number)
            list_.append({decimalText(number), kShortestDuration, "1", "0.00"});
        list_.setCell(lastRow(), kCountColumn, kRepeatText);
    }
}

void RatesPage::applyEditorToSelection(int blockCount)
{
    for (const int r : list_.selectedRows()) {
        list_.setCell(r, kDurationColumn, duration_.text());
        list_.setCell(r, kCountColumn, r == lastRow() ? kRepeatText : countText(blockCount));
        list_.setCell(r, kPriceColumn, price_.text());
    }
}

// A last row of zero duration would repeat without using up any time; it is
// corrected whether or not it was edited just now.
void RatesPage::correctZeroDurationLastRow()
{
    if (list_.rowCount() == 0 || list_.cell(lastRow(), kDurationColumn) != kZeroDuration)
        return;
    prompts_.showMessage(kZeroDurationMessage);
    list_.setCell(lastRow(), kDurationColumn, kShortestDuration);
    if (list_.isSelected(lastRow()))
        duration_.setText(kShortestDuration);
}

void RatesPage::rebuildTable()
{
    std::vector<store::RateBlock> blocks;
    blocks.reserve(static_cast<std::size_t>(list_.rowCount()));
    for (const PageRow& row : list_.rows())
        blocks.push_back(
            {row[kDurationColumn], countValue(row[kCountColumn]), store::parseMoneyText(row[kPriceColumn])});
    rates_.rows() = std::move(blocks);
}

void RatesPage::runTest()
{
    const int seconds = store::durationSeconds(testDuration_.text());
    testResult_ = store::formatMoney(store::ComputeAccessCharge(rates_.rows(), seconds));
}

} // namespace console::configuration
