#include "console/configuration/clients_page.h"

#include "console/configuration/count_field.h"
#include "console/configuration/page_text.h"
#include "console/texts.h"

#include "store/text_number.h"

#include "store/client_table.h"

#include <vector>

namespace console::configuration {
namespace {

constexpr std::size_t kMaxNameLength = 255;

} // namespace

ClientsPage::ClientsPage(store::ClientTable& clients, StationWorkers& workers, OperatorPrompts& prompts,
                         StationKeyRegister* keys)
    : ListPage(kColumns.size(), prompts), clients_(clients), workers_(workers), keys_(keys)
{
    // A file that cannot be read is silent: the page shows what the table holds,
    // and the next opening tries the file again.
    (void)clients_.load();
    fillList();
    loadEditor();
}

void ClientsPage::fillList()
{
    list_.clear();
    const auto& entries = clients_.entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        list_.append({decimalText(static_cast<int>(i) + 1), entries[i].computerName, entries[i].address.toString(),
                      keyText(static_cast<int>(i), entries[i].address)});
    count_.text = decimalText(list_.rowCount());
}

std::string ClientsPage::keyText(int index, platform::Ipv4Address address) const
{
    if (keys_ == nullptr || !keys_->hasKey())
        return {};
    const bool allowed = keys_->keylessAllowed(address);
    switch (keys_->keying(index)) {
    case StationKeyRegister::Keying::Keyed:
        return kKeyed;
    case StationKeyRegister::Keying::Keyless:
        return allowed ? kKeylessAllowed : kKeylessRefused;
    case StationKeyRegister::Keying::Unknown:
        break;
    }
    return allowed ? kAllowedWithoutKey : std::string();
}

void ClientsPage::setAddress(const platform::Ipv4Address& address)
{
    address_ = address;
    addressShown_.text = address.toString();
}

void ClientsPage::loadEditor()
{
    if (const auto first = list_.firstSelected()) {
        editorStation_ = store::parseIntText(list_.cell(*first, kNumberColumn));
        name_.text = list_.cell(*first, kNameColumn);
        address_ = store::parseAddressText(list_.cell(*first, kAddressColumn));
        keyless_ = keys_ != nullptr && keys_->keylessAllowed(address_);
    } else {
        editorStation_ = 0;
        name_.text.clear();
        address_ = {};
        keyless_ = false;
    }
    refreshControls();
}

void ClientsPage::refreshControls()
{
    computer_.enabled = false;
    name_.enabled = editing();
    addressShown_.enabled = editing();
    if (editing()) {
        computer_.text = decimalText(editorStation_);
        addressShown_.text = address_.toString();
    } else {
        computer_.text.clear();
        name_.text.clear();
        addressShown_.text.clear();
    }
}

SaveOutcome ClientsPage::save()
{
    const std::optional<int> wanted = readCountField(count_.text, kMinStations, kMaxStations, prompts_);
    if (!wanted) {
        if (const auto typed = parseIntegerField(count_.text); typed && *typed > kMaxStations)
            count_.text = decimalText(list_.rowCount());
        return SaveOutcome::Refused;
    }
    if (const std::optional<int> busy = busyStationInTheWay(*wanted)) {
        prompts_.showMessage(busyStationMessage(*busy + 1));
        return SaveOutcome::Refused;
    }
    applyCount(*wanted);
    applyEditorToSelection();
    rebuildTable();
    return finishSave(clients_.save());
}

std::optional<int> ClientsPage::busyStationInTheWay(int wanted) const
{
    for (int i = wanted; i < list_.rowCount(); ++i)
        if (workers_.stationBusy(i))
            return i;
    const auto& entries = clients_.entries();
    for (const int j : list_.selectedRows()) {
        const auto index = static_cast<std::size_t>(j);
        if (index < entries.size() && entries[index].address != address_ && workers_.stationBusy(j))
            return j;
    }
    return std::nullopt;
}

void ClientsPage::applyCount(int wanted)
{
    const int old = list_.rowCount();
    if (wanted < old) {
        if (!confirmDeletion(wanted, kClientRowsName))
            return;
        for (int i = old - 1; i >= wanted; --i) {
            list_.truncate(i);
            workers_.stopStationWorker(i);
        }
    } else {
        for (int i = old; i < wanted; ++i) {
            workers_.startStationWorker(i);
            list_.append({decimalText(i + 1), kNamePlaceholder, kAddressPlaceholder, ""});
        }
    }
}

void ClientsPage::applyEditorToSelection()
{
    auto& entries = clients_.entries();
    const bool keyChoice = keylessEnabled();
    bool keyChoiceKept = true;
    for (const int j : list_.selectedRows()) {
        list_.setCell(j, kNameColumn, name_.text);
        list_.setCell(j, kAddressColumn, address_.toString());
        if (keyChoice) {
            keyChoiceKept = keys_->allowKeyless(address_, keyless_) && keyChoiceKept;
            list_.setCell(j, kKeyColumn, keyText(j, address_));
        }
        const auto index = static_cast<std::size_t>(j);
        const platform::Ipv4Address stored = index < entries.size() ? entries[index].address : platform::Ipv4Address{};
        if (stored == address_)
            continue;
        // The old address must no longer match a connection while the worker
        // restarts; the rebuild below brings in the new one.
        if (index < entries.size()) {
            entries[index] = store::ClientEntry{};
            workers_.clientTableChanged();
        }
        workers_.stopStationWorker(j);
        workers_.startStationWorker(j);
    }
    if (!keyChoiceKept)
        prompts_.showMessage(kKeylessNotKeptMessage);
}

void ClientsPage::rebuildTable()
{
    std::vector<store::ClientEntry> entries;
    entries.reserve(static_cast<std::size_t>(list_.rowCount()));
    for (const PageRow& row : list_.rows())
        entries.push_back({row[kNameColumn].substr(0, kMaxNameLength), store::parseAddressText(row[kAddressColumn])});
    clients_.entries() = std::move(entries);
    workers_.clientTableChanged();
}

} // namespace console::configuration
