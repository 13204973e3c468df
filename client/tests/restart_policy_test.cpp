// When the supervisor brings tamblo back, and how long it waits first.
#include "client/restart_policy.h"

#include <gtest/gtest.h>

namespace client {
namespace {

using namespace std::chrono_literals;

platform::ExitStatus exited(int code) { return {false, code}; }
platform::ExitStatus killed(int signal) { return {true, signal}; }

TEST(RestartPolicy, CleanEndsAndRefusedArgumentsAreFinal)
{
    RestartPolicy policy;
    EXPECT_FALSE(policy.afterEnd(exited(0), 1h).restart);
    EXPECT_FALSE(policy.afterEnd(exited(kExitBadArguments), 10ms).restart);
    // A signal whose number happens to be 2 (SIGINT) is no refusal of arguments.
    EXPECT_TRUE(policy.afterEnd(killed(2), 1h).restart);
    // An end on SIGTERM that tamblo went through itself was not ordered either.
    EXPECT_TRUE(policy.afterEnd(exited(kExitNotOrdered), 1h).restart);
}

TEST(RestartPolicy, AKillIsAnsweredAtOnceAndACrashLoopBacksOff)
{
    RestartPolicy policy;
    auto first = policy.afterEnd(killed(9), 1h);
    EXPECT_TRUE(first.restart);
    EXPECT_EQ(first.pause, 0ms);

    std::vector<std::chrono::milliseconds> pauses;
    for (int i = 0; i < 9; ++i)
        pauses.push_back(policy.afterEnd(exited(1), 200ms).pause);
    EXPECT_EQ(pauses, (std::vector<std::chrono::milliseconds>{500ms, 1s, 2s, 4s, 8s, 16s, 30s, 30s, 30s}));
    EXPECT_EQ(policy.failuresInARow(), 10);

    // A steady run forgives the failures before it.
    auto after = policy.afterEnd(killed(11), RestartPolicy::kSteadyRun);
    EXPECT_EQ(after.pause, 0ms);
    EXPECT_EQ(policy.failuresInARow(), 1);
}

} // namespace
} // namespace client
