#include "platform/file_owner.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace platform {

std::optional<Account> findAccount(const std::string& name)
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return std::nullopt;
    return Account{entry.pw_name, entry.pw_uid, entry.pw_gid, entry.pw_dir};
}

bool giveToFolderOwner(const std::filesystem::path& file, mode_t mode)
{
    // Through a descriptor of the file itself, never a link in its place: a
    // folder the service account may write must not steer root's chown.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat own {};
    bool done = ::fstat(fd, &own) == 0 && S_ISREG(own.st_mode);
    if (done && geteuid() == 0) {
        struct stat folder {};
        const auto parent = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
        done = ::stat(parent.c_str(), &folder) == 0 && ::fchown(fd, folder.st_uid, folder.st_gid) == 0;
    }
    done = done && ::fchmod(fd, mode) == 0;
    ::close(fd);
    return done;
}

} // namespace platform
