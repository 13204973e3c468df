#pragma once
// The Rates page of the configuration dialog: the rate blocks as rows, the
// number of rates, an editor for the selected rows, Save, and "Test", which
// charges a trial duration from the table as last saved.

#include "console/configuration/list_column.h"
#include "console/configuration/list_page.h"

#include "fields/duration_field.h"
#include "fields/money_field.h"

#include <array>
#include <string>

namespace store {
class RateTable;
}

namespace console::configuration {

class RatesPage final : public ListPage {
public:
    static constexpr std::size_t kNumberColumn = 0;
    static constexpr std::size_t kDurationColumn = 1;
    static constexpr std::size_t kCountColumn = 2;
    static constexpr std::size_t kPriceColumn = 3;
    // "Block count:" of any row but the last, which repeats.
    static constexpr int kMaxBlockCount = 99999;
    static constexpr std::array<ListColumn, 4> kColumns{{
        {"No", 26, ColumnAlignment::Left},
        {"Block duration", 95, ColumnAlignment::Left},
        {"#", 44, ColumnAlignment::Centre},
        {"Price", 60, ColumnAlignment::Right},
    }};
    static constexpr const char* kZeroDuration = "00:00:00";
    static constexpr const char* kShortestDuration = "00:00:01";

    // Opens the page: loads the rates (nothing new after start-up) and fills the list.
    RatesPage(store::RateTable& rates, OperatorPrompts& prompts);

    // "Rate:": the number of the row being edited, read-only.
    const EditorField& rateField() const { return rate_; }

    // "Block Duration (hh:mm:ss):" and "Charge:": the window forwards keys to
    // the field models and shows them enabled as the flags say.
    fields::DurationField& durationEditor() { return duration_; }
    const fields::DurationField& durationEditor() const { return duration_; }
    bool durationEnabled() const { return editing(); }
    fields::MoneyField& priceEditor() { return price_; }
    const fields::MoneyField& priceEditor() const { return price_; }
    bool priceEnabled() const { return editing(); }

    // "Block count:": disabled and empty for the last row, which always repeats.
    const EditorField& blockCountField() const { return blockCount_; }
    void setBlockCountText(std::string text) { blockCount_.text = std::move(text); }

    [[nodiscard]] SaveOutcome save();

    // The trial duration and "Test": the charge for it, from the saved table.
    fields::DurationField& testDuration() { return testDuration_; }
    const fields::DurationField& testDuration() const { return testDuration_; }
    void runTest();
    const std::string& testResult() const { return testResult_; }

private:
    void fillList();
    void loadEditor() override;
    void applyCount(int wanted);
    void applyEditorToSelection(int blockCount);
    void correctZeroDurationLastRow();
    void rebuildTable();
    int lastRow() const { return list_.rowCount() - 1; }

    store::RateTable& rates_;

    EditorField rate_;
    EditorField blockCount_;
    fields::DurationField duration_;
    fields::MoneyField price_;
    fields::DurationField testDuration_;
    std::string testResult_;
};

} // namespace console::configuration
