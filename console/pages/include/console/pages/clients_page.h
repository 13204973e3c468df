#pragma once
// The Clients page of the configuration dialog: the stations' computer names
// and addresses, the number of stations, and an editor for the selected rows.
// Save applies the count (starting and stopping station workers), writes the
// editor into the selected rows and rewrites "BriskoClient".

#include "console/pages/list_column.h"
#include "console/pages/list_page.h"
#include "console/pages/station_workers.h"

#include "platform/ipv4.h"

#include <array>
#include <string>

namespace store {
class ClientTable;
}

namespace console::pages {

class ClientsPage final : public ListPage {
public:
    static constexpr std::size_t kNumberColumn = 0;
    static constexpr std::size_t kNameColumn = 1;
    static constexpr std::size_t kAddressColumn = 2;
    static constexpr std::array<ListColumn, 3> kColumns{{
        {"No", 26, ColumnAlignment::Left},
        {"Computer Name", 113, ColumnAlignment::Left},
        {"IP Address", 117, ColumnAlignment::Left},
    }};
    static constexpr int kMinStations = 1;
    static constexpr int kMaxStations = 99;
    static constexpr const char* kNamePlaceholder = "<Name>";
    static constexpr const char* kAddressPlaceholder = "<IP Address>";

    // Opens the page: loads the stations (nothing new after start-up) and fills
    // the list; the station count becomes the number of rows.
    ClientsPage(store::ClientTable& clients, StationWorkers& workers, OperatorPrompts& prompts);

    int stationCount() const { return list_.rowCount(); }

    // "Computer:": the editor's station number, always disabled, empty when 0.
    const EditorField& computerField() const { return computer_; }
    int editorStationNumber() const { return editorStation_; }

    const EditorField& nameField() const { return name_; }
    void setNameText(std::string text) { name_.text = std::move(text); }

    // The address control: its text is empty while it is cleared.
    const EditorField& addressField() const { return addressShown_; }
    const platform::Ipv4Address& editorAddress() const { return address_; }
    void setAddress(const platform::Ipv4Address& address);

    [[nodiscard]] SaveOutcome save();

private:
    void loadEditor() override;
    void refreshControls();
    void fillList();
    void applyCount(int wanted);
    void applyEditorToSelection();
    void rebuildTable();

    store::ClientTable& clients_;
    StationWorkers& workers_;

    EditorField computer_;
    EditorField name_;
    EditorField addressShown_;
    int editorStation_ = 0;
    platform::Ipv4Address address_;
};

} // namespace console::pages
