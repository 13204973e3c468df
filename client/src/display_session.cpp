#include "client/display_session.h"

#include <cstdlib>

namespace client {

namespace {
std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}
} // namespace

DisplayEnvironment displayEnvironment(const std::string& qtPlatform)
{
    return {environment("WAYLAND_DISPLAY"), environment("XDG_SESSION_TYPE"), qtPlatform};
}

bool needsX11Session(const DisplayEnvironment& e)
{
    if (e.qtPlatform.rfind("wayland", 0) == 0)
        return true;
    bool wayland = !e.waylandDisplay.empty() || e.sessionType == "wayland";
    return wayland && e.qtPlatform != "xcb" && e.qtPlatform != "offscreen" && e.qtPlatform != "minimal";
}

} // namespace client
