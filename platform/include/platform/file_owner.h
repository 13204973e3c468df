#pragma once
// Files that root writes on behalf of a service account. A root command that
// changes a file in the service's folder hands the file to that folder's
// owner, so that the service, which keeps its files open for writing, can
// still open it. No state; any thread.

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>

namespace platform {

// A local account, as the password database has it.
struct Account {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
    std::filesystem::path home;
};

// The account called `name`; nullopt when there is none.
std::optional<Account> findAccount(const std::string& name);

// When the caller is root, makes `file` belong to the owner and group of the
// folder it is in and gives it `mode`; otherwise only the mode. False when
// that fails.
[[nodiscard]] bool giveToFolderOwner(const std::filesystem::path& file, mode_t mode);

} // namespace platform
