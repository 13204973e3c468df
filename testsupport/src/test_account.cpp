#include "testsupport/test_account.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

int runQuietly(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TestAccount::TestAccount(const std::string& name, bool withHome) : name_(name + std::to_string(getpid() % 100000))
{
    made_ = runQuietly({"/usr/sbin/useradd", withHome ? "-m" : "-M", "-s", "/bin/sh", name_}) == 0;
}

TestAccount::~TestAccount()
{
    if (!made_)
        return;
    runQuietly({"/usr/bin/pkill", "-KILL", "-u", name_});
    runQuietly({"/usr/sbin/userdel", "-r", "-f", name_});
}

int TestAccount::run(const std::string& command) const
{
    return runQuietly({"/usr/sbin/runuser", "-u", name_, "--", "/bin/sh", "-c", command});
}

} // namespace testsupport
