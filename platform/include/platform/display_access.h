#pragma once
// Access to the seat's X display for a service account. The station's
// service, as root with the display manager's authority, lets the lock's own
// account draw on the display by name (the server-interpreted "localuser"
// entry), so that no cookie file has to be handed to it. No state; any thread.

#include <optional>
#include <string>

namespace platform {

// Adds `account` to the access list of the X display named by DISPLAY
// (reached with XAUTHORITY). Why it failed, or nullopt.
std::optional<std::string> grantDisplayTo(const std::string& account);

} // namespace platform
