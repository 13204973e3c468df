#pragma once
// Where the station keeps its files. An installed station keeps them out of
// the customer's reach, in folders only the station's service account may
// write: the owner's settings in /etc/tamblo ("TambloConfig", "TambloSetup",
// "TambloKey"), the running session's stamp in /var/lib/tamblo
// ("TambloSession") and the log in /var/log/tamblo ("Tamblo.log" and the one
// older "Tamblo.log.1"). A demonstration or test station keeps all of them in
// one folder of its own choosing.
//
// Thread contract: a plain value; any thread.

#include <filesystem>

namespace client {

struct StationFolders {
    std::filesystem::path config; // the owner's settings, the code and the cafe's key
    std::filesystem::path state;  // the running session's stamp
    std::filesystem::path log;    // the station's log

    // The installed station's folders.
    static StationFolders installed() { return {"/etc/tamblo", "/var/lib/tamblo", "/var/log/tamblo"}; }
    // Every file in `folder`.
    static StationFolders allIn(const std::filesystem::path& folder) { return {folder, folder, folder}; }

    bool operator==(const StationFolders&) const = default;
};

} // namespace client
