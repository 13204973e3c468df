#include "console/configuration/clients_page.h"

#include "console/texts.h"
#include "page_test_support.h"

#include "store/client_table.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace console::configuration {
namespace {

using platform::Ipv4Address;
using test::RecordingNotifier;
using test::RecordingWorkers;
using test::ScriptedPrompts;
using test::TempFolder;
using Strings = std::vector<std::string>;

Ipv4Address stationAddress(int i) { return {{192, 168, 1, static_cast<std::uint8_t>(10 + i)}}; }

class ClientsPageTest : public ::testing::Test {
protected:
    // Writes a stations file of `count` stations and loads it as the console does at start-up.
    void startWith(int count)
    {
        {
            store::ClientTable writer(folder.path(), notifier);
            ASSERT_TRUE(writer.load());
            for (int i = 0; i < count; ++i)
                writer.entries().push_back({"PC" + std::to_string(i + 1), stationAddress(i)});
            ASSERT_TRUE(writer.save());
        }
        ASSERT_TRUE(table.load());
    }

    // What a later start-up would read.
    std::vector<store::ClientEntry> savedStations()
    {
        return test::savedContents(
            table, [&] { return store::ClientTable(folder.path(), notifier); },
            [](auto& reader) { return reader.entries(); });
    }

    TempFolder folder;
    RecordingNotifier notifier;
    store::ClientTable table{folder.path(), notifier};
    ScriptedPrompts prompts;
    RecordingWorkers workers;
};

TEST_F(ClientsPageTest, OpeningShowsOneRowPerStationAndTheCount)
{
    startWith(2);
    ClientsPage page(table, workers, prompts);
    ASSERT_EQ(page.list().rowCount(), 2);
    EXPECT_EQ(page.list().row(0), (Strings{"1", "PC1", "192.168.1.10", ""}));
    EXPECT_EQ(page.list().row(1), (Strings{"2", "PC2", "192.168.1.11", ""}));
    EXPECT_EQ(page.stationCount(), 2);
    EXPECT_EQ(page.countField().text, "2");
    EXPECT_FALSE(page.editing());
    EXPECT_FALSE(page.nameField().enabled);
    EXPECT_FALSE(page.addressField().enabled);
    EXPECT_EQ(page.addressField().text, "");
}

TEST_F(ClientsPageTest, EditorFollowsTheFirstSelectedRow)
{
    startWith(3);
    ClientsPage page(table, workers, prompts);
    page.setRowSelected(2, true);
    page.setRowSelected(1, true);
    EXPECT_TRUE(page.editing());
    EXPECT_EQ(page.editorStationNumber(), 2);
    EXPECT_EQ(page.computerField().text, "2");
    EXPECT_FALSE(page.computerField().enabled);
    EXPECT_EQ(page.nameField().text, "PC2");
    EXPECT_TRUE(page.nameField().enabled);
    EXPECT_EQ(page.editorAddress(), stationAddress(1));
    EXPECT_EQ(page.addressField().text, "192.168.1.11");
    EXPECT_TRUE(page.addressField().enabled);

    page.clearSelection();
    EXPECT_EQ(page.editorStationNumber(), 0);
    EXPECT_EQ(page.computerField().text, "");
    EXPECT_EQ(page.nameField().text, "");
    EXPECT_EQ(page.addressField().text, "");
    EXPECT_EQ(page.editorAddress(), Ipv4Address{});
    EXPECT_FALSE(page.nameField().enabled);
}

TEST_F(ClientsPageTest, EmptyFileRefusesCountsOutsideTheRange)
{
    ClientsPage page(table, workers, prompts);
    EXPECT_EQ(page.list().rowCount(), 0);
    EXPECT_EQ(page.countField().text, "0");

    EXPECT_EQ(page.save(), SaveOutcome::Refused);
    page.setCountText("");
    EXPECT_EQ(page.save(), SaveOutcome::Refused);
    page.setCountText("150");
    EXPECT_EQ(page.save(), SaveOutcome::Refused);
    EXPECT_EQ(prompts.messages, (Strings{"Please enter an integer between 1 and 99.", "Please enter an integer.",
                                         "Please enter an integer between 1 and 99."}));
    EXPECT_EQ(page.countField().text, "0"); // above 99 shows the old count again
    EXPECT_EQ(page.stationCount(), 0);
    EXPECT_TRUE(workers.calls.empty());
    EXPECT_TRUE(savedStations().empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path() / "BriskoClient"));
}

TEST_F(ClientsPageTest, LoweringTheCountAsksAndYesStopsTheDroppedStations)
{
    startWith(10);
    ClientsPage page(table, workers, prompts);
    page.setRowSelected(8, true);
    prompts.answer(true);
    page.setCountText("7");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(prompts.questions, (Strings{"Delete last 3 clients?"}));
    EXPECT_EQ(workers.calls, (Strings{"stop 9", "stop 8", "stop 7", "table"}));
    EXPECT_EQ(page.list().rowCount(), 7);
    EXPECT_EQ(page.stationCount(), 7);
    EXPECT_FALSE(page.editing()); // the selected row 9 went with the others
    EXPECT_FALSE(page.nameField().enabled);
    const auto saved = savedStations();
    ASSERT_EQ(saved.size(), 7u);
    EXPECT_EQ(saved[6].computerName, "PC7");
}

TEST_F(ClientsPageTest, LoweringTheCountAndAnsweringNoKeepsEveryStation)
{
    startWith(10);
    ClientsPage page(table, workers, prompts);
    page.setRowSelected(0, true);
    page.setNameText("Front desk");
    prompts.answer(false);
    page.setCountText("7");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(prompts.questions, (Strings{"Delete last 3 clients?"}));
    EXPECT_EQ(workers.calls, (Strings{"table"})); // no worker stopped
    EXPECT_EQ(page.stationCount(), 10);
    EXPECT_EQ(page.countField().text, "10");
    const auto saved = savedStations();
    ASSERT_EQ(saved.size(), 10u);
    EXPECT_EQ(saved[0].computerName, "Front desk"); // the save went on with the editor
}

TEST_F(ClientsPageTest, RaisingTheCountStartsWorkersAndAddsPlaceholderRows)
{
    startWith(2);
    ClientsPage page(table, workers, prompts);
    page.setCountText("4");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(workers.calls, (Strings{"start 2", "start 3", "table"}));
    EXPECT_EQ(page.list().row(2), (Strings{"3", "<Name>", "<IP Address>", ""}));
    EXPECT_EQ(page.list().row(3), (Strings{"4", "<Name>", "<IP Address>", ""}));
    EXPECT_EQ(page.stationCount(), 4);
    EXPECT_EQ(table.stationCount(), 4);
    const auto saved = savedStations();
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved[3], (store::ClientEntry{"<Name>", Ipv4Address{}}));
}

TEST_F(ClientsPageTest, SelectedRowsAllReceiveTheEditorValues)
{
    startWith(3);
    ClientsPage page(table, workers, prompts);
    page.setRowSelected(0, true);
    page.setRowSelected(2, true);
    page.setNameText("Corner");
    page.setAddress({{10, 0, 0, 7}});
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(page.list().row(0), (Strings{"1", "Corner", "10.0.0.7", ""}));
    EXPECT_EQ(page.list().row(2), (Strings{"3", "Corner", "10.0.0.7", ""}));
    EXPECT_EQ(page.list().row(1), (Strings{"2", "PC2", "192.168.1.11", ""}));
    // Each re-addressed entry is cleared (and the link told) before its worker restarts.
    EXPECT_EQ(workers.calls, (Strings{"table", "stop 0", "start 0", "table", "stop 2", "start 2", "table"}));
    const auto saved = savedStations();
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[0], (store::ClientEntry{"Corner", {{10, 0, 0, 7}}}));
    EXPECT_EQ(saved[2], (store::ClientEntry{"Corner", {{10, 0, 0, 7}}}));
}

TEST_F(ClientsPageTest, NameChangeKeepsTheWorkerAddressChangeRestartsIt)
{
    startWith(3);
    ClientsPage page(table, workers, prompts);
    page.setRowSelected(1, true);
    page.setNameText("Window seat");
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(workers.calls, (Strings{"table"}));
    EXPECT_EQ(savedStations()[1], (store::ClientEntry{"Window seat", stationAddress(1)}));
    workers.calls.clear();

    // While the worker restarts, its entry no longer holds the old address.
    std::vector<store::ClientEntry> entryAtRestart;
    workers.onStart = [&](int i) { entryAtRestart.push_back(table.entries()[static_cast<std::size_t>(i)]); };
    page.setAddress({{192, 168, 1, 99}});
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(entryAtRestart, (std::vector<store::ClientEntry>{{"", Ipv4Address{}}}));
    EXPECT_EQ(workers.calls, (Strings{"table", "stop 1", "start 1", "table"}));
    EXPECT_EQ(savedStations()[1], (store::ClientEntry{"Window seat", {{192, 168, 1, 99}}}));
}

} // namespace
} // namespace console::configuration

namespace console::configuration {
namespace {

// The console's view of the key, as a script: station 0 proved the key,
// station 1 came without one.
class ScriptedKeys final : public StationKeyRegister {
public:
    bool hasKey() const override { return true; }
    Keying keying(int index) const override
    {
        return index == 0 ? Keying::Keyed : index == 1 ? Keying::Keyless : Keying::Unknown;
    }
    bool keylessAllowed(platform::Ipv4Address address) const override
    {
        return std::ranges::find(allowed, address) != allowed.end();
    }
    bool allowKeyless(platform::Ipv4Address address, bool allow) override
    {
        std::erase(allowed, address);
        if (allow)
            allowed.push_back(address);
        return keeps;
    }
    std::vector<platform::Ipv4Address> allowed;
    bool keeps = true;
};

} // namespace

TEST_F(ClientsPageTest, TheKeyColumnShowsWhoProvedTheKeyAndTheOwnerLetsAnOldStationIn)
{
    startWith(3);
    ScriptedKeys keys;
    ClientsPage page(table, workers, prompts, &keys);
    EXPECT_EQ(page.list().cell(0, ClientsPage::kKeyColumn), kKeyed);
    EXPECT_EQ(page.list().cell(1, ClientsPage::kKeyColumn), kKeylessRefused);
    EXPECT_EQ(page.list().cell(2, ClientsPage::kKeyColumn), "");
    EXPECT_FALSE(page.keylessEnabled()) << "nothing selected";

    page.setRowSelected(1, true);
    ASSERT_TRUE(page.keylessEnabled());
    EXPECT_FALSE(page.keylessAllowed());
    page.setKeylessAllowed(true);
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    EXPECT_EQ(keys.allowed, std::vector<platform::Ipv4Address>{stationAddress(1)});
    EXPECT_EQ(page.list().cell(1, ClientsPage::kKeyColumn), kKeylessAllowed);

    // A choice that could not be kept is said, not passed over.
    keys.keeps = false;
    page.setKeylessAllowed(false);
    EXPECT_EQ(page.save(), SaveOutcome::Saved);
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_NE(prompts.messages.back().find("BriskoKeyless"), std::string::npos);
}

} // namespace console::configuration
