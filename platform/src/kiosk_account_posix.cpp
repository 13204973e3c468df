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

int countProcessesOf(uid_t uid)
{
    int count = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos && runsAs(entry.path(), uid))
            ++count;
    }
    return count;
}

// One pass of kill(-1, SIGKILL) from a helper running as `uid`: the kernel
// signals every process of that account at once, faster than any of them
// can start another.
void killAllAs(uid_t uid)
{
    pid_t helper = ::fork();
    if (helper == 0) {
        if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(uid, uid, uid) != 0)
            ::_exit(1);
        ::kill(-1, SIGKILL);
        ::_exit(0);
    }
    if (helper > 0) {
        int status = 0;
        while (::waitpid(helper, &status, 0) < 0 && errno == EINTR) {
        }
    }
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
        return countProcessesOf(uid);
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        killAllAs(uid);
        int left = countProcessesOf(uid);
        if (left == 0 || std::chrono::steady_clock::now() >= deadline)
            return left;
        // Killed processes stay until their parents reap them.
        std::this_thread::sleep_for(20ms);
    }
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

    fs::create_directories(home, ec);
    // remove_all removes links, never what they point to.
    for (const auto& entry : fs::directory_iterator(home, ec)) {
        std::error_code removed;
        fs::remove_all(entry.path(), removed);
        if (removed)
            return "Could not remove " + entry.path().string() + ": " + removed.message() + ".";
    }
    if (ec)
        return "Could not read " + home.string() + ": " + ec.message() + ".";
    fs::copy(source, home, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (ec)
        return "Could not copy " + source.string() + " to " + home.string() + ": " + ec.message() + ".";
    giveTree(home, account);
    if (::chmod(home.c_str(), 0700) != 0)
        return "Could not close " + home.string() + " to others: " + std::strerror(errno) + ".";
    return std::nullopt;
}

} // namespace platform
