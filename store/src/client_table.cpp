#include "store/client_table.h"

#include "store/text_number.h"

#include <algorithm>
#include <cctype>

namespace store {

namespace {
constexpr std::size_t kNameOffset = 4;
constexpr std::size_t kNameSize = ClientCodec::kNameSize;
constexpr std::size_t kAddressOffset = 260;

bool sameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
} // namespace

void ClientCodec::encode(const ClientEntry& entry, Bytes record)
{
    putU32(record, 0, 0);
    putText(record, kNameOffset, kNameSize, entry.computerName);
    for (std::size_t i = 0; i < 4; ++i)
        record[kAddressOffset + i] = std::byte{entry.address.octets[i]};
}

ClientEntry ClientCodec::decode(ConstBytes record)
{
    ClientEntry entry;
    entry.computerName = getText(record, kNameOffset, kNameSize);
    for (std::size_t i = 0; i < 4; ++i)
        entry.address.octets[i] = std::to_integer<std::uint8_t>(record[kAddressOffset + i]);
    return entry;
}

ClientTable::ClientTable(const std::filesystem::path& folder, StoreNotifier& notifier)
    : file_(folder), notifier_(notifier)
{
}

bool ClientTable::load()
{
    if (file_.isLoaded())
        return true;
    if (!file_.load())
        return false;
    auto& entries = file_.entries();
    if (entries.size() > static_cast<std::size_t>(kMaxStations)) {
        notifier_.showMessage("Invalid Client data file");
        entries.resize(kMaxStations);
    }
    return true;
}

bool ClientTable::save() { return file_.save(); }

void ClientTable::close() { file_.close(); }

int ClientTable::stationCount() const
{
    return static_cast<int>(std::min(entries().size(), static_cast<std::size_t>(kMaxStations)));
}

int ClientTable::findByAddress(const platform::Ipv4Address& address) const
{
    return findStationByAddress(std::span(entries()).first(static_cast<std::size_t>(stationCount())), address);
}

int ClientTable::findByComputerName(std::string_view name) const
{
    return findStationByComputerName(std::span(entries()).first(static_cast<std::size_t>(stationCount())), name);
}

int findStationByAddress(std::span<const ClientEntry> entries, const platform::Ipv4Address& address)
{
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].address == address)
            return static_cast<int>(i);
    return -1;
}

int findStationByComputerName(std::span<const ClientEntry> entries, std::string_view name)
{
    if (name.starts_with("\\\\"))
        name.remove_prefix(2);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (sameNameIgnoringCase(entries[i].computerName, name))
            return static_cast<int>(i) + 1;
    return -1;
}

platform::Ipv4Address parseAddressText(std::string_view text)
{
    platform::Ipv4Address address;
    std::size_t start = 0;
    for (std::size_t part = 0; part < 3; ++part) {
        auto dot = text.find('.', start);
        if (dot == std::string_view::npos)
            return {};
        address.octets[part] = static_cast<std::uint8_t>(parseIntText(text.substr(start, dot - start)) & 0xFF);
        start = dot + 1;
    }
    address.octets[3] = static_cast<std::uint8_t>(parseIntText(text.substr(start)) & 0xFF);
    return address;
}

} // namespace store
