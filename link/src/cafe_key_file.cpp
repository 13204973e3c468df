#include "link/cafe_key_file.h"

#include "platform/system_error_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace stationlink {

namespace {

// A code with generous room for whitespace; anything longer is not a key file.
constexpr std::size_t kLongestFile = 256;

std::string systemText(int err) { return std::generic_category().message(err); }

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view kSpace = " \t\r\n";
    auto first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// The file's bytes, at most one more than kLongestFile; nullopt with errno set on failure.
std::optional<std::string> readSmallFile(const std::filesystem::path& file)
{
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string bytes(kLongestFile + 1, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            platform::closeDescriptor(fd, "cafe key file");
            errno = err;
            return std::nullopt;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    platform::closeDescriptor(fd, "cafe key file");
    bytes.resize(got);
    return bytes;
}

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

void syncFolderOf(const std::filesystem::path& file)
{
    auto folder = file.parent_path();
    if (folder.empty())
        folder = ".";
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // The new file has its name already; a failure here only risks the old
    // key coming back after a power cut, which is worth a line, not a failure.
    if (::fsync(fd) != 0)
        platform::logSystemError("fsync(cafe key folder)", errno);
    platform::closeDescriptor(fd, "cafe key folder");
}

} // namespace

CafeKeyFileReading readCafeKeyFile(const std::filesystem::path& file)
{
    CafeKeyFileReading reading;
    auto bytes = readSmallFile(file);
    if (!bytes) {
        const int err = errno;
        if (err != ENOENT)
            reading.problem = "The cafe's key file " + file.string() + " cannot be read: " + systemText(err) + ".";
        return reading;
    }
    if (bytes->size() > kLongestFile) {
        reading.problem = "The cafe's key file " + file.string() + " is damaged: it holds more than a key.";
        return reading;
    }
    const std::string_view code = trimmed(*bytes);
    if (auto problem = CafeKey::problemWith(code)) {
        reading.problem = "The cafe's key file " + file.string() + " is damaged. " + *problem;
        return reading;
    }
    reading.key = CafeKey::fromCode(code);
    if (!reading.key)
        reading.problem = "The cafe's key in " + file.string() + " could not be prepared for use.";
    return reading;
}

bool writeCafeKeyFile(const std::filesystem::path& file, const CafeKey& key)
{
    std::string temp = file.string() + ".new-XXXXXX";
    // mkostemp creates the file with mode 0600, whatever the umask.
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = writeWhole(fd, key.code() + "\n") && ::fsync(fd) == 0;
    const bool closed = platform::closeDescriptor(fd, "cafe key file");
    if (!written || !closed || ::rename(temp.c_str(), file.c_str()) != 0) {
        if (::unlink(temp.c_str()) != 0)
            platform::logSystemError("unlink(cafe key file)", errno);
        return false;
    }
    syncFolderOf(file);
    return true;
}

} // namespace stationlink
