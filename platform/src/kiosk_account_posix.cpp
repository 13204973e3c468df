#include "platform/kiosk_account.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

namespace fs = std::filesystem;

bool runsAs(const fs::path& process, uid_t uid)
{
    std::ifstream status(process / "status");
    std::string line;
    while (std::getline(status, line)) {
        if (!line.starts_with("Uid:"))
            continue;
        std::istringstream ids(line.substr(4));
        unsigned long real = 0, effective = 0, saved = 0;
        ids >> real >> effective >> saved;
        return real == uid || effective == uid || saved == uid;
    }
    return false;
}

// The processes of `uid` now running, each sent `signal` by root itself when
// one is given (nothing the account runs can stop or slow the sender). How
// many were found.
int processesOf(uid_t uid, std::optional<int> signal = std::nullopt)
{
    int found = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos || !runsAs(entry.path(), uid))
            continue;
        ++found;
        if (signal)
            ::kill(static_cast<pid_t>(std::stol(name)), *signal);
    }
    return found;
}

void giveTree(const fs::path& root, const Account& account)
{
    std::error_code ec;
    (void)::lchown(root.c_str(), account.uid, account.gid);
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        (void)::lchown(it->path().c_str(), account.uid, account.gid);
}

} // namespace

int endProcessesOf(uid_t uid, std::chrono::milliseconds patience)
{
    using namespace std::chrono_literals;
    if (uid == 0)
        return processesOf(uid);
    // Each pass kills every process found; one started meanwhile is found by
    // the next, and its parent is dead by then, so the passes run out.
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (processesOf(uid, SIGKILL) == 0)
            return 0;
        if (std::chrono::steady_clock::now() >= deadline)
            return processesOf(uid);
        // Killed processes stay until their parents reap them.
        std::this_thread::sleep_for(5ms);
    }
}

int removeEntriesOf(uid_t uid, const std::vector<fs::path>& folders)
{
    if (uid == 0)
        return 0;
    int left = 0;
    for (const fs::path& folder : folders) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(folder, ec)) {
            struct stat owner {};
            if (::lstat(entry.path().c_str(), &owner) != 0 || owner.st_uid != uid)
                continue;
            std::error_code removed;
            fs::remove_all(entry.path(), removed);
            if (removed)
                ++left;
        }
    }
    return left;
}

std::optional<std::string> restoreHome(const Account& account, const fs::path& templateFolder)
{
    const fs::path home = account.home.lexically_normal();
    if (account.uid == 0 || !home.is_absolute() || home == home.root_path())
        return "The home folder " + home.string() + " of " + account.name + " is not one to empty.";
    const fs::path source = fs::absolute(templateFolder).lexically_normal();
    const auto relative = source.lexically_relative(home);
    if (!relative.empty() && *relative.begin() != "..")
        return "The template " + source.string() + " lies inside the home folder it would fill.";
    std::error_code ec;
    if (!fs::is_directory(source, ec))
        return "The template folder " + source.string() + " is missing.";

    // The old home goes aside whole and a fresh one is made: whatever of it
    // cannot be deleted stays out of the next customer's way.
    fs::path aside = home;
    aside += ".old";
    fs::remove_all(aside, ec);
    if (fs::exists(aside, ec))
        aside += "-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    ec.clear();
    if (fs::exists(home, ec)) {
        fs::rename(home, aside, ec);
        if (ec)
            return "Could not move " + home.string() + " aside: " + ec.message() + ".";
    }
    fs::create_directory(home, ec);
    if (ec)
        return "Could not make " + home.string() + ": " + ec.message() + ".";
    if (::chmod(home.c_str(), 0700) != 0 || ::chown(home.c_str(), account.uid, account.gid) != 0)
        return "Could not give " + home.string() + " to " + account.name + ".";
    fs::copy(source, home, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (ec)
        return "Could not copy " + source.string() + " to " + home.string() + ": " + ec.message() + ".";
    giveTree(home, account);
    // remove_all removes links, never what they point to.
    fs::remove_all(aside, ec);
    if (ec)
        return "The new home is ready, but " + aside.string() + " could not be removed: " + ec.message() + ".";
    return std::nullopt;
}

} // namespace platform
