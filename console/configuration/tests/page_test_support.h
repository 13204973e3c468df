#pragma once
// Shared pieces of the page tests: a temporary data folder, scripted operator
// answers, and a record of the station workers started and stopped.

#include "recording_workers.h"
#include "console/configuration/operator_dialogs.h"
#include "console/configuration/station_workers.h"

#include "store/store_notifier.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace console::configuration::test {

using testsupport::TempFolder;

// What a later start-up would read from a page's table file: `table` lets go of
// its file while a fresh reader made by `makeReader` loads it, `read` takes the
// contents off the reader, and `table` opens the file again.
template <typename Table, typename MakeReader, typename Read>
auto savedContents(Table& table, MakeReader makeReader, Read read)
{
    table.close();
    auto reader = makeReader();
    EXPECT_TRUE(reader.load());
    auto contents = read(reader);
    reader.close();
    EXPECT_TRUE(table.load());
    return contents;
}

// Answers Yes/No questions from a script; an unexpected question fails the test.
class ScriptedPrompts final : public OperatorPrompts {
public:
    void answer(bool yes) { answers_.push_back(yes); }
    bool askYesNo(const std::string& question) override
    {
        questions.push_back(question);
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected question: " << question;
            return false;
        }
        const bool yes = answers_.front();
        answers_.pop_front();
        return yes;
    }
    void showMessage(const std::string& text) override { messages.push_back(text); }

    std::vector<std::string> questions;
    std::vector<std::string> messages;

private:
    std::deque<bool> answers_;
};

class RecordingNotifier final : public store::StoreNotifier {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

} // namespace console::configuration::test
