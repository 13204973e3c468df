// One fault on purpose, for scripts/sanitize to check before the suite runs
// that a report from a child process fails its test even when the test throws
// the child's output away and never reads its exit status.
// Usage: sanitize-check <fault>          commits the fault
//        sanitize-check spawn <fault>    runs a child that commits it
// Faults: overflow (UndefinedBehaviorSanitizer), use-after-free (AddressSanitizer),
// leak (LeakSanitizer).
#include <climits>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Where the leaked block's only pointer was, before it was overwritten.
int* volatile lost = nullptr;

int commit(const char* fault)
{
    if (std::strcmp(fault, "overflow") == 0) {
        volatile int largest = INT_MAX;
        const volatile int sum = largest + 1;
        return sum < 0 ? 0 : 1;
    }
    if (std::strcmp(fault, "use-after-free") == 0) {
        auto numbers = std::make_unique<int[]>(4);
        const volatile int* dangling = numbers.get();
        numbers.reset();
        return dangling[1];
    }
    if (std::strcmp(fault, "leak") == 0) {
        lost = std::make_unique<int[]>(4).release();
        lost = nullptr;
        return 0;
    }
    return 2;
}

// The child's standard error goes to /dev/null and its status is not looked at.
int spawn(char* self, char* fault)
{
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return 2;
    char* args[] = {self, fault, nullptr};
    pid_t pid = 0;
    const bool started = posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0) == 0 &&
                         posix_spawn(&pid, self, &actions, nullptr, args, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started)
        return 2;
    waitpid(pid, nullptr, 0);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "spawn") == 0)
        return spawn(argv[0], argv[2]);
    return argc == 2 ? commit(argv[1]) : 2;
}
