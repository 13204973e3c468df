#include "client/client_log.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace client::test {

class ClientLogTest : public ::testing::Test {
protected:
    TempFolder folder;
    ClientLog log{folder.path() / kLogFileName};
    std::string text() { return readFile(folder.path() / kLogFileName); }
};

TEST_F(ClientLogTest, RepeatedLinesFoldIntoOneGrowingNote)
{
    log.logLine("A");
    log.logLine("A");
    log.logLine("A");
    EXPECT_EQ(text(), "A\r\n^ repeated 2 times.\r\n");

    log.logLine("B");
    log.logLine("B");
    log.logLine("B");
    EXPECT_EQ(text(), "A\r\n^ repeated 2 times.\r\nB\r\n^ repeated 2 times.\r\n");
}

TEST_F(ClientLogTest, RunsOfDifferentLengthKeepOneNoteEach)
{
    // A, A, B, B, B gives A, a note with 1, B, a note with 2.
    for (const char* line : {"A", "A", "B", "B", "B"})
        log.logLine(line);
    EXPECT_EQ(text(), "A\r\n^ repeated 1 times.\r\nB\r\n^ repeated 2 times.\r\n");
}

TEST_F(ClientLogTest, LongRunsOverwriteTheNoteCompletely)
{
    for (int i = 0; i < 12; ++i)
        log.logLine("TRYING RECV WOULDBLOCK");
    EXPECT_EQ(text(), "TRYING RECV WOULDBLOCK\r\n^ repeated 11 times.\r\n");
}

// A console away for hours: every attempt logs the same lines, and the log
// grows by them once, then by a note, until the attempts go another way.
TEST_F(ClientLogTest, AttemptsThatGoTheSameWayFoldIntoOneBlock)
{
    const auto attempt = [this](const char* outcome) {
        log.beginAttempt();
        log.logLine("Non-blocking set.  connecting...");
        log.logLine("success (WOULDBLOCK).");
        log.logLine(outcome);
    };
    for (int i = 0; i < 500; ++i)
        attempt("Select timed out.");
    attempt("Select succeeded.");
    log.endAttempts();
    log.logLine("Read data: UNLOCK");
    EXPECT_EQ(text(), "Non-blocking set.  connecting...\r\nsuccess (WOULDBLOCK).\r\nSelect timed out.\r\n"
                      "^ repeated 499 times.\r\n"
                      "Non-blocking set.  connecting...\r\nsuccess (WOULDBLOCK).\r\nSelect succeeded.\r\n"
                      "Read data: UNLOCK\r\n");
}

// However long the station runs, the log stays under its limit, with one
// older log kept beside it.
TEST_F(ClientLogTest, ABigLogIsRotatedOnce)
{
    const std::string line(1000, 'x');
    for (int i = 0; i < 2500; ++i)
        log.logLine(line + std::to_string(i));
    const auto size = std::filesystem::file_size(folder.path() / kLogFileName);
    const auto older = std::filesystem::file_size(folder.path() / "Tamblo.log.1");
    EXPECT_LE(size, ClientLog::kSizeLimit);
    EXPECT_LE(older, ClientLog::kSizeLimit);
    EXPECT_GT(older, ClientLog::kSizeLimit - 2000);
    EXPECT_NE(text().find(line + "2499\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "Tamblo.log.2"));
}

TEST_F(ClientLogTest, PiecesJoinIntoOneLine)
{
    log.logText("Select ");
    EXPECT_EQ(text(), "");
    log.logLine("timed out.");
    EXPECT_EQ(text(), "Select timed out.\r\n");
}

TEST_F(ClientLogTest, SocketErrorsByName)
{
    log.logSocketError(10035);
    log.logSocketError(10061);
    log.logText("recv() failed:");
    log.logSocketError(10054);
    EXPECT_EQ(text(), "Error:WSAEWOULDBLOCK\r\nError:Unknown: 10061\r\nrecv() failed:Error:WSAECONNRESET\r\n");
}

TEST(SocketErrorNames, EveryNamedCode)
{
    const std::pair<int, const char*> table[] = {
        {10004, "WSAEINTR"},       {10014, "WSAEFAULT"},         {10022, "WSAEINVAL"},    {10024, "WSAEMFILE"},
        {10035, "WSAEWOULDBLOCK"}, {10036, "WSAEINPROGRESS"},    {10038, "WSAENOTSOCK"},  {10040, "WSAEMSGSIZE"},
        {10045, "WSAEOPNOTSUPP"},  {10050, "WSAENETDOWN"},       {10052, "WSAENETRESET"}, {10053, "WSAECONNABORTED"},
        {10054, "WSAECONNRESET"},  {10055, "WSAENOBUFS"},        {10057, "WSAENOTCONN"},  {10058, "WSAESHUTDOWN"},
        {10060, "WSAETIMEDOUT"},   {10093, "WSANOTINITIALISED"},
    };
    for (auto [code, name] : table)
        EXPECT_EQ(socketErrorName(code), name) << code;
    EXPECT_EQ(socketErrorName(0), "Unknown: 0");
    EXPECT_EQ(socketErrorName(10048), "Unknown: 10048");
}

TEST(ClientLogUnwritable, TextWaitsUntilTheFileCanBeOpened)
{
    TempFolder folder;
    auto sub = folder.path() / "later";
    ClientLog log(sub / kLogFileName);
    log.logLine("first");
    log.logText("second ");
    EXPECT_EQ(log.pendingText(), "first\r\nsecond ");

    std::filesystem::create_directories(sub);
    log.logLine("line");
    EXPECT_EQ(readFile(sub / kLogFileName), "first\r\nsecond line\r\n");
    EXPECT_EQ(log.pendingText(), "");
}

TEST(ClientLogUnwritable, WaitingTextStaysBounded)
{
    TempFolder folder;
    ClientLog log(folder.path() / "missing" / kLogFileName);
    for (int i = 0; i < 100000; ++i)
        log.logLine("Non-blocking set.  connecting...");
    EXPECT_LE(log.pendingText().size(), 64u * 1024u);
    EXPECT_TRUE(log.pendingText().ends_with("connecting...\r\n"));
}

TEST(ClientLogAppend, AnExistingLogIsKeptAndAppendedTo)
{
    TempFolder folder;
    writeFile(folder.path() / kLogFileName, "old run\r\n");
    ClientLog log(folder.path() / kLogFileName);
    log.logLine("new run");
    log.logLine("new run");
    EXPECT_EQ(readFile(folder.path() / kLogFileName), "old run\r\nnew run\r\n^ repeated 1 times.\r\n");
}

} // namespace client::test
