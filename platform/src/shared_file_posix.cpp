#include "platform/shared_file.h"
#include "platform/system_error_log.h"
#include "folder_sync_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

FileError fileErrorFromErrno(int err)
{
    switch (err) {
    case 0:
        return FileError::None;
    case ENOENT:
        return FileError::NotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return FileError::BadPath;
    case EMFILE:
    case ENFILE:
        return FileError::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileError::AccessDenied;
    case EBADF:
        return FileError::InvalidHandle;
    case EWOULDBLOCK:
        return FileError::SharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileError::DiskFull;
    default:
        return FileError::Generic;
    }
}

namespace {
// A temporary file left behind is harmless (the next replace truncates it),
// but worth a line.
void removeTemporary(const std::filesystem::path& temp)
{
    if (::unlink(temp.c_str()) != 0 && errno != ENOENT)
        logSystemError("unlink", errno);
}

} // namespace

bool syncFolderOf(const std::filesystem::path& path)
{
    auto folder = path.parent_path();
    if (folder.empty())
        folder = ".";
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return closeDescriptor(fd, "folder") && synced;
}

SharedFile::~SharedFile() { close(); }

SharedFile::SharedFile(SharedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), owned_(other.owned_), path_(std::move(other.path_))
{
}

SharedFile& SharedFile::operator=(SharedFile&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        owned_ = other.owned_;
        path_ = std::move(other.path_);
    }
    return *this;
}

Result<SharedFile, FileError> SharedFile::openOwned(const std::filesystem::path& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return failure(fileErrorFromErrno(errno));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        closeDescriptor(fd, "file");
        return failure(err == EWOULDBLOCK ? FileError::SharingViolation : fileErrorFromErrno(err));
    }
    return SharedFile(fd, true, path);
}

Result<SharedFile, FileError> SharedFile::openReader(const std::filesystem::path& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failure(fileErrorFromErrno(errno));
    return SharedFile(fd, false, path);
}

void SharedFile::close()
{
    // Closing also releases the lock. Written data that mattered was flushed
    // already; a failure here is logged, there is nobody left to tell.
    if (fd_ >= 0)
        closeDescriptor(fd_, path_.c_str());
    fd_ = -1;
}

std::optional<std::uint64_t> SharedFile::size() const
{
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

bool SharedFile::seek(std::uint64_t offset)
{
    return fd_ >= 0 && ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool SharedFile::seekToEnd() { return fd_ >= 0 && ::lseek(fd_, 0, SEEK_END) >= 0; }

std::optional<std::uint64_t> SharedFile::position() const
{
    if (fd_ < 0)
        return std::nullopt;
    off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    if (pos < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(pos);
}

std::optional<std::size_t> SharedFile::read(std::span<std::byte> buffer)
{
    if (fd_ < 0)
        return std::nullopt;
    std::size_t total = 0;
    while (total < buffer.size()) {
        ssize_t n = ::read(fd_, buffer.data() + total, buffer.size() - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (n == 0)
            break;
        total += static_cast<std::size_t>(n);
    }
    return total;
}

bool SharedFile::write(std::span<const std::byte> data)
{
    if (fd_ < 0 || !owned_)
        return false;
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool SharedFile::write(const std::string& text) { return write(std::as_bytes(std::span(text.data(), text.size()))); }

bool SharedFile::truncate(std::uint64_t length)
{
    return fd_ >= 0 && owned_ && ::ftruncate(fd_, static_cast<off_t>(length)) == 0;
}

bool SharedFile::flush() { return fd_ >= 0 && ::fdatasync(fd_) == 0; }

std::optional<std::vector<std::byte>> SharedFile::readAll()
{
    auto length = size();
    if (!length || !seek(0))
        return std::nullopt;
    std::vector<std::byte> bytes(*length);
    auto got = read(bytes);
    if (!got)
        return std::nullopt;
    bytes.resize(*got);
    return bytes;
}

bool SharedFile::replaceContent(std::span<const std::byte> data)
{
    if (fd_ < 0 || !owned_)
        return false;
    auto temp = path_;
    temp += ".new";
    int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    // Lock the new file before it takes the name, so that the name is always held.
    SharedFile fresh(fd, true, path_);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !fresh.write(data) || ::fsync(fd) != 0) {
        removeTemporary(temp);
        return false;
    }
    if (::rename(temp.c_str(), path_.c_str()) != 0) {
        removeTemporary(temp);
        return false;
    }
    // The new file has the name now, whatever follows; but until the folder is
    // synced a power cut may bring the old name back, so that is a failure.
    const bool renameOnDisk = syncFolderOf(path_);
    *this = std::move(fresh);
    return seek(data.size()) && renameOnDisk;
}

} // namespace platform
