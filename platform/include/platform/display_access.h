#pragma once
// Access to the seat's X display for a service account. The station's
// service, as root with the display manager's authority, lets the lock's own
// account draw on the display by name (the server-interpreted "localuser"
// entry), so that no cookie file has to be handed to it. No state; any thread.

#include "platform/file_owner.h"

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// Adds `account` to the access list of the X display named by DISPLAY
// (reached with XAUTHORITY). Why it failed, or nullopt.
std::optional<std::string> grantDisplayTo(const std::string& account);

// A copy of the display's cookie file (XAUTHORITY, which root must own and
// which must be a plain file) that only `account` may read, in `folder`: the
// account's own way onto the display, which no other client can take away as
// it can take away a host entry. The copy's path, or nullopt.
std::optional<std::filesystem::path> copyCookieFor(const Account& account, const std::filesystem::path& folder);

} // namespace platform
