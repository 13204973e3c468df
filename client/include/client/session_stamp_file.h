#pragma once
// "TambloSession", beside "TambloConfig": the stamp of the session running on
// this station, so that a client restarted during a session reclaims it with
// "STARTED" + stamp, as after a loss of the link.
//
// Layout: empty while no session runs; else exactly the 14 digits of the
// session stamp ("%Y%m%d%H%M%S", ASCII, no line end). Anything else reads as
// no session, so a damaged file leaves the station locked.
//
// Written when a session's stamp first arrives and emptied when the session
// ends; each change replaces the file whole. Opened once, the first time it is
// needed (created when missing, never truncated, writing denied to others),
// and held open until the program ends.
//
// Thread contract: one owner thread (the window thread).

#include "platform/shared_file.h"

#include <filesystem>
#include <string>

namespace client {

inline constexpr const char* kSessionStampFileName = "TambloSession";

class SessionStampFile {
public:
    explicit SessionStampFile(std::filesystem::path file);

    // The stamp kept in the file; empty when none, when the content is no valid
    // stamp, or when the file cannot be opened.
    [[nodiscard]] std::string load();
    // Keeps `stamp` (a valid stamp) or, when empty, forgets the session.
    [[nodiscard]] bool store(const std::string& stamp);

private:
    [[nodiscard]] bool open();

    std::filesystem::path path_;
    platform::SharedFile file_;
};

} // namespace client
