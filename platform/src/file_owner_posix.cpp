#include "platform/file_owner.h"

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
    if (geteuid() == 0) {
        struct stat folder {};
        const auto parent = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
        if (stat(parent.c_str(), &folder) != 0 || chown(file.c_str(), folder.st_uid, folder.st_gid) != 0)
            return false;
    }
    return chmod(file.c_str(), mode) == 0;
}

} // namespace platform
