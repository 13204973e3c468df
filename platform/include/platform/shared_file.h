#pragma once
// Files of the console's working folder, opened the way the console needs them:
// the owner opens read-write, creates when missing, never truncates, and denies
// writing to everybody else for as long as it holds the file; readers open
// read-only and take no lock. Opening fails with a FileError in the Result.
// A SharedFile belongs to one thread at a time; files may be shared between
// threads only under the owner's own lock.

#include "platform/result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

// Why opening or using a file failed, in the categories the operator is told about.
enum class FileError {
    None = 0,
    Generic = 1,
    NotFound = 2,
    BadPath = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    InvalidHandle = 6,
    SharingViolation = 11,
    DiskFull = 13,
    EndOfFile = 14,
};

// Translates an errno value into a FileError.
FileError fileErrorFromErrno(int err);

class SharedFile {
public:
    SharedFile() = default;
    ~SharedFile();
    SharedFile(SharedFile&& other) noexcept;
    SharedFile& operator=(SharedFile&& other) noexcept;
    SharedFile(const SharedFile&) = delete;
    SharedFile& operator=(const SharedFile&) = delete;

    // Read-write, created when missing, never truncated, writing denied to others.
    // Fails with SharingViolation when another owner holds the file.
    [[nodiscard]] static Result<SharedFile, FileError> openOwned(const std::filesystem::path& path);
    // Read-only, no lock: coexists with an owner. Does not create the file.
    [[nodiscard]] static Result<SharedFile, FileError> openReader(const std::filesystem::path& path);

    bool isOpen() const { return fd_ >= 0; }
    bool isOwned() const { return owned_; }
    const std::filesystem::path& path() const { return path_; }
    void close();

    std::optional<std::uint64_t> size() const;
    [[nodiscard]] bool seek(std::uint64_t offset);
    [[nodiscard]] bool seekToEnd();
    std::optional<std::uint64_t> position() const;
    // Reads up to buffer.size() bytes; returns the count read (0 at end of file) or nullopt on error.
    [[nodiscard]] std::optional<std::size_t> read(std::span<std::byte> buffer);
    // Writes everything or fails.
    [[nodiscard]] bool write(std::span<const std::byte> data);
    [[nodiscard]] bool write(const std::string& text);
    [[nodiscard]] bool truncate(std::uint64_t length);
    // Pushes written data to the disk, so that a crash loses nothing reported as written.
    [[nodiscard]] bool flush();

    // Reads the whole file from offset 0.
    [[nodiscard]] std::optional<std::vector<std::byte>> readAll();

    // Replaces the whole content safely: the new bytes are written to a temporary
    // file beside this one, synced, locked, and renamed over the path; only then
    // does this object switch to the new file. A failure before the rename leaves
    // the old content in place and this object unchanged; a failure to sync the
    // folder after it is reported too (the object holds the new file then, but a
    // power cut could still bring the old one back). Only for owned files.
    [[nodiscard]] bool replaceContent(std::span<const std::byte> data);

private:
    SharedFile(int fd, bool owned, std::filesystem::path path) : fd_(fd), owned_(owned), path_(std::move(path)) {}
    int fd_ = -1;
    bool owned_ = false;
    std::filesystem::path path_;
};

} // namespace platform
