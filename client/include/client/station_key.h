#pragma once
// "TambloKey": the cafe's key as this station keeps it, beside "TambloConfig",
// readable by the station's own user only. The owner types the key once (in
// the setup dialog, or `tamblo --set-key CODE` for scripted installs); from
// then on the station talks to the console only over TLS with it.
//
// No state: any thread.

#include "link/cafe_key_file.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace client {

inline constexpr const char* kKeyFileName = "TambloKey";

// The key kept in `folder`; no key and an empty problem when there is none.
stationlink::CafeKeyFileReading readStationKey(const std::filesystem::path& folder);
// Checks the typed code and keeps it in `folder`; why it was not kept, or nullopt.
std::optional<std::string> storeStationKey(const std::filesystem::path& folder, std::string_view typed);

} // namespace client
