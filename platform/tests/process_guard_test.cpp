// The lock's guard against the customer's debugger: a process of the same
// (unprivileged) user may attach to an unguarded process, and not to a guarded one.

#include "platform/process_guard.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

// Runs as the unprivileged user from here on (a forked child only), traceable
// as a program the user started is (a change of user alone makes it not).
void becomeNobody()
{
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 || ::prctl(PR_SET_DUMPABLE, 1, 0, 0, 0) != 0)
        ::_exit(3);
}

// Whether an attach by nobody to a process of nobody succeeds.
bool attachSucceeds(bool guarded)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return false;
    const pid_t target = ::fork();
    if (target == 0) {
        becomeNobody();
        if (guarded && !platform::forbidTracing())
            ::_exit(4);
        const char byte = guarded && platform::traceable() ? 'T' : 'R';
        (void)!::write(ready[1], &byte, 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    (void)!::read(ready[0], &byte, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(byte, 'R') << "the guarded process still reads as traceable";

    const pid_t attacker = ::fork();
    if (attacker == 0) {
        becomeNobody();
        ::_exit(::ptrace(PTRACE_ATTACH, target, nullptr, nullptr) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(attacker, &status, 0);
    ::kill(target, SIGKILL);
    ::waitpid(target, nullptr, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(ProcessGuard, TheCustomersDebuggerCannotAttachToAGuardedProcess)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    EXPECT_TRUE(attachSucceeds(false)) << "without the guard the same user may attach";
    EXPECT_FALSE(attachSucceeds(true));
}
