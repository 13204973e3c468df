#include "platform/result.h"
#include "platform/socket_error.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>

namespace platform {
namespace {

TEST(Result, MovesAMoveOnlyValueOutOnce)
{
    Result<std::unique_ptr<int>, int> made = std::make_unique<int>(7);
    Result<std::unique_ptr<int>, int> moved = std::move(made);
    ASSERT_TRUE(moved);
    EXPECT_EQ(**moved, 7);
    std::unique_ptr<int> taken = std::move(moved).value_or(nullptr);
    ASSERT_TRUE(taken);
    EXPECT_EQ(*taken, 7);

    Result<std::unique_ptr<int>, int> failed = failure(5);
    EXPECT_EQ(std::move(failed).value_or(nullptr), nullptr);
    // NOLINTNEXTLINE(bugprone-use-after-move): what a move leaves is the point here
    EXPECT_EQ(failed.error(), 5) << "taking the fallback leaves the error";
}

// A value and an error of one type must not be taken for each other, nor a
// copy of a Result for a new value made from it.
TEST(Result, KeepsValueAndErrorApartWhenTheyShareAType)
{
    Result<int, int> value = 3;
    Result<int, int> failed = failure(3);
    EXPECT_TRUE(value);
    EXPECT_EQ(*value, 3);
    EXPECT_EQ(value.error_or(-1), -1);
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.error(), 3);
    EXPECT_EQ(failed.value_or(-1), -1);

    Result<int, int> copy = failed;
    EXPECT_FALSE(copy);
    copy = value;
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy.value(), 3);

    Result<std::string, int> text = "made from a literal";
    EXPECT_EQ(text->size(), 19u);
}

TEST(Result, VoidFormSucceedsUntilGivenAFailure)
{
    Result<void, SocketError> done;
    EXPECT_TRUE(done);
    EXPECT_EQ(done.error_or(SocketError{}).code, kSocketOk);

    Result<void, SocketError> refused = failure(SocketError{kSocketConnectionRefused});
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().code, kSocketConnectionRefused);
    done = refused;
    EXPECT_FALSE(done);
}

// The abort is the behaviour under test: a sanitized build's own SIGABRT
// handler would write it up as a fault, so the dying child goes without it.
void abortPlainly() { std::signal(SIGABRT, SIG_DFL); }

TEST(ResultDeathTest, ReadingTheSideThatIsNotThereEndsTheProgram)
{
    const Result<int, int> failed = failure(1);
    EXPECT_DEATH((abortPlainly(), (void)failed.value()), "");
    const Result<void, int> done;
    EXPECT_DEATH((abortPlainly(), (void)done.error()), "");
}

} // namespace
} // namespace platform
