#pragma once
// The Clients page of the configuration dialog: the stations' computer names
// and addresses, whether each proved the cafe's key, the number of stations,
// and an editor for the selected rows. Save applies the count (starting and
// stopping station workers), writes the editor into the selected rows
// (letting them connect without the key, or not) and rewrites "BriskoClient".

#include "console/configuration/list_column.h"
#include "console/configuration/list_page.h"
#include "console/configuration/station_key_register.h"
#include "console/configuration/station_workers.h"

#include "platform/ipv4.h"

#include <array>
#include <optional>
#include <string>

namespace store {
class ClientTable;
}

namespace console::configuration {

class ClientsPage final : public ListPage {
public:
    static constexpr std::size_t kNumberColumn = 0;
    static constexpr std::size_t kNameColumn = 1;
    static constexpr std::size_t kAddressColumn = 2;
    static constexpr std::size_t kKeyColumn = 3;
    static constexpr std::array<ListColumn, 4> kColumns{{
        {"No", 26, ColumnAlignment::Left},
        {"Computer Name", 113, ColumnAlignment::Left},
        {"IP Address", 117, ColumnAlignment::Left},
        {"Key", 110, ColumnAlignment::Left},
    }};
    static constexpr int kMinStations = 1;
    static constexpr int kMaxStations = 99;

    // Opens the page: loads the stations (nothing new after start-up) and fills
    // the list; the station count becomes the number of rows.
    // `keys` (none: the "Key" column stays empty) tells what each station spoke.
    ClientsPage(store::ClientTable& clients, StationWorkers& workers, OperatorPrompts& prompts,
                StationKeyRegister* keys = nullptr);

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

    // "Without key": the selected stations may connect without the cafe's key.
    // Enabled while editing, when the cafe has a key.
    bool keylessAllowed() const { return keyless_; }
    bool keylessEnabled() const { return editing() && keys_ != nullptr && keys_->hasKey(); }
    void setKeylessAllowed(bool allowed) { keyless_ = allowed; }

    [[nodiscard]] SaveOutcome save();

private:
    void loadEditor() override;
    void refreshControls();
    void fillList();
    std::optional<int> busyStationInTheWay(int wanted) const;
    void applyCount(int wanted);
    void applyEditorToSelection();
    void rebuildTable();
    std::string keyText(int index, platform::Ipv4Address address) const;

    store::ClientTable& clients_;
    StationWorkers& workers_;
    StationKeyRegister* keys_;
    bool keyless_ = false;

    EditorField computer_;
    EditorField name_;
    EditorField addressShown_;
    int editorStation_ = 0;
    platform::Ipv4Address address_;
};

} // namespace console::configuration
