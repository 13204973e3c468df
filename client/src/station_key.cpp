#include "client/station_key.h"

#include "client/texts.h"

namespace client {

stationlink::CafeKeyFileReading readStationKey(const std::filesystem::path& folder)
{
    return stationlink::readCafeKeyFile(folder / kKeyFileName);
}

std::optional<std::string> storeStationKey(const std::filesystem::path& folder, std::string_view typed)
{
    auto key = stationlink::CafeKey::fromCode(typed);
    if (!key)
        return stationlink::CafeKey::problemWith(typed).value_or(kNotTheKeyMessage);
    if (!stationlink::writeCafeKeyFile(folder / kKeyFileName, *key))
        return keyNotSavedMessage((folder / kKeyFileName).string());
    return std::nullopt;
}

} // namespace client
