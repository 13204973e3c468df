#pragma once
// "BriskoOpen": the console's money held in memory (OpenState), kept on disk so
// that a crash, a kill or a power cut loses none of it. The console owns the
// file like its other files (opened read-write, writing denied to others).
// Every change is written as a whole new file, synced and renamed into place,
// so the file on disk is always one whole state: the one before or after.
//
// A damaged file, or one of an unknown version, is never overwritten: it is
// renamed aside ("BriskoOpen.damaged-N"), the operator is told, and the console
// goes on with what could be read from it.
//
// Window thread only.

#include "platform/shared_file.h"
#include "store/file_names.h"
#include "store/open_state.h"
#include "store/open_state_codec.h"
#include "store/store_notifier.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace store {

class OpenStateFile {
public:
    OpenStateFile(const std::filesystem::path& folder, StoreNotifier& notifier);

    // Opens (creates) the file and reads it. False, after "Error (%d) opening
    // file.", when it cannot be opened; the console then runs without keeping.
    [[nodiscard]] bool open();
    bool isOpen() const { return file_.isOpen(); }
    // What open() read (after a damaged file: what could be read of it).
    const OpenState& loaded() const { return loaded_; }
    // Where a damaged file was put aside by open(), if it was.
    const std::optional<std::filesystem::path>& keptAside() const { return keptAside_; }

    // Writes the state when it differs from what the file holds. False, after
    // "Error (%d) writing file." (once until a write succeeds again), when it
    // could not be written: the file still holds the state before.
    [[nodiscard]] bool keep(const OpenState& state);
    void close();

    // The state in a folder's file, read without taking it from its owner.
    // nullopt when there is no such file or it cannot be read.
    [[nodiscard]] static std::optional<DecodedOpenState> read(const std::filesystem::path& folder);

private:
    bool putAside(const DecodedOpenState& decoded);

    std::filesystem::path path_;
    StoreNotifier& notifier_;
    platform::SharedFile file_;
    OpenState loaded_;
    std::vector<std::byte> written_;
    bool failing_ = false;
    std::optional<std::filesystem::path> keptAside_;
};

} // namespace store
