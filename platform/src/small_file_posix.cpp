#include "platform/small_file.h"

#include "platform/system_error_log.h"
#include "folder_sync_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

namespace {

bool writeWhole(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

Result<std::string, int> readSmallFile(const std::filesystem::path& file, std::size_t limit)
{
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failure(errno);
    std::string bytes(limit + 1, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            closeDescriptor(fd, "small file");
            return failure(error);
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    closeDescriptor(fd, "small file");
    bytes.resize(got);
    return bytes;
}

bool replaceSmallFile(const std::filesystem::path& file, std::string_view bytes)
{
    std::string temp = file.string() + ".new-XXXXXX";
    // mkostemp creates the file with mode 0600, whatever the umask.
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = writeWhole(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = closeDescriptor(fd, "small file");
    if (!written || !closed || ::rename(temp.c_str(), file.c_str()) != 0) {
        if (::unlink(temp.c_str()) != 0)
            logSystemError("unlink(small file)", errno);
        return false;
    }
    // The new file has its name already; a failure here only risks the old
    // content coming back after a power cut, which is worth a line, not a failure.
    if (!syncFolderOf(file))
        logSystemError("fsync(folder of a small file)", errno);
    return true;
}

} // namespace platform
