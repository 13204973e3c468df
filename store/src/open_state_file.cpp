#include "store/open_state_file.h"

#include "file_error_message.h"
#include "platform/system_error_log.h"

#include <unistd.h>

#include <cerrno>
#include <string>

namespace store {

namespace {

constexpr int kMostKeptAside = 999;

} // namespace

OpenStateFile::OpenStateFile(const std::filesystem::path& folder, StoreNotifier& notifier)
    : path_(folder / kOpenStateFileName), notifier_(notifier)
{
}

bool OpenStateFile::open()
{
    keptAside_.reset();
    loaded_ = {};
    written_.clear();
    auto opened = platform::SharedFile::openOwned(path_);
    if (!opened) {
        file_.close();
        notifier_.fileFailed(path_, fileErrorMessage(kOpeningFileError, opened.error()));
        return false;
    }
    file_ = std::move(*opened);
    auto bytes = file_.readAll();
    if (!bytes) {
        notifier_.fileFailed(path_, fileErrorMessage(kReadingFileError, platform::fileErrorFromErrno(errno)));
        file_.close();
        return false;
    }
    DecodedOpenState decoded = decodeOpenState(*bytes);
    loaded_ = std::move(decoded.state);
    if (decoded.outcome == DecodedOpenState::Outcome::Whole) {
        written_ = std::move(*bytes);
        return true;
    }
    // The damaged file goes aside under a name of its own and a fresh one takes its place.
    if (!putAside(decoded))
        return false;
    auto fresh = platform::SharedFile::openOwned(path_);
    if (!fresh) {
        notifier_.fileFailed(path_, fileErrorMessage(kOpeningFileError, fresh.error()));
        return false;
    }
    file_ = std::move(*fresh);
    // No truncation here: should the unlink in putAside() have failed, this is
    // the damaged file itself, and its copy aside shares its bytes. keep()
    // replaces the file by a rename, which leaves that copy whole.
    // What could be read is written at once, so that it is not lost should this
    // console end before its first change (at the password prompt, say).
    (void)keep(loaded_);
    return true;
}

bool OpenStateFile::putAside(const DecodedOpenState& decoded)
{
    file_.close();
    for (int n = 1; n <= kMostKeptAside; ++n) {
        auto aside = path_;
        aside += ".damaged-" + std::to_string(n);
        // link() never replaces an existing file, so no earlier copy is lost.
        if (::link(path_.c_str(), aside.c_str()) != 0) {
            if (errno == EEXIST)
                continue;
            break;
        }
        // The damaged file keeps its name when this fails; open() then
        // replaces it by a rename all the same.
        if (::unlink(path_.c_str()) != 0)
            platform::logSystemError("unlink(BriskoOpen)", errno);
        keptAside_ = aside;
        std::string text = "The open bills file " + path_.filename().string() +
                           " cannot be read whole: " + decoded.fault + ".\r\nIt was kept as " +
                           aside.filename().string() + ".";
        if (decoded.outcome == DecodedOpenState::Outcome::Damaged)
            text += "\r\nBrisko starts with what could be read: " + std::to_string(loaded_.bills.size()) +
                    " unpaid bill(s) and " + std::to_string(loaded_.stations.size()) + " station(s).";
        else
            text += "\r\nBrisko starts without open bills.";
        notifier_.fileFailed(path_, text);
        return true;
    }
    notifier_.fileFailed(path_, "The open bills file " + path_.filename().string() + " cannot be read whole (" +
                                    decoded.fault + ") and could not be kept aside. Brisko does not touch it.");
    loaded_ = {};
    return false;
}

bool OpenStateFile::keep(const OpenState& state)
{
    if (!file_.isOpen())
        return false;
    std::vector<std::byte> bytes = encodeOpenState(state);
    if (bytes == written_)
        return true;
    if (!file_.replaceContent(bytes)) {
        const auto cause = platform::fileErrorFromErrno(errno);
        if (!failing_)
            notifier_.fileFailed(path_, fileErrorMessage(kWritingFileError, cause));
        failing_ = true;
        return false;
    }
    failing_ = false;
    written_ = std::move(bytes);
    return true;
}

void OpenStateFile::close() { file_.close(); }

std::optional<DecodedOpenState> OpenStateFile::read(const std::filesystem::path& folder)
{
    auto file = platform::SharedFile::openReader(folder / kOpenStateFileName);
    if (!file)
        return std::nullopt;
    auto bytes = file->readAll();
    if (!bytes)
        return std::nullopt;
    return decodeOpenState(*bytes);
}

} // namespace store
