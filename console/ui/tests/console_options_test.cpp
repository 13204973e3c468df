// The console's command line and how its messages are shown.

#include "console_options.h"
#include "message_kind.h"

#include <gtest/gtest.h>

namespace console::ui {
namespace {

TEST(ConsoleOptions, FolderAndListeningAddress)
{
    auto none = parseConsoleOptions({});
    ASSERT_TRUE(none.error.empty());
    EXPECT_EQ(none.options.folder, std::nullopt) << "never the folder it is started in";
    EXPECT_EQ(none.options.link.port, 32000);
    EXPECT_TRUE(none.options.link.listenAddress.isAny());

    auto all = parseConsoleOptions({"--dir", "/srv/cafe", "--listen", "127.0.0.1:32001"});
    ASSERT_TRUE(all.error.empty()) << all.error;
    EXPECT_EQ(all.options.folder, "/srv/cafe");
    EXPECT_FALSE(all.options.remember);
    EXPECT_TRUE(parseConsoleOptions({"--dir", "/srv/cafe", "--remember"}).options.remember);
    EXPECT_EQ(all.options.link.listenAddress.toString(), "127.0.0.1");
    EXPECT_EQ(all.options.link.port, 32001);

    auto portOnly = parseConsoleOptions({"--listen", ":40000"});
    ASSERT_TRUE(portOnly.error.empty());
    EXPECT_EQ(portOnly.options.link.port, 40000);
    EXPECT_TRUE(portOnly.options.link.listenAddress.isAny());

    EXPECT_TRUE(parseConsoleOptions({"--help"}).options.help);
    EXPECT_TRUE(parseConsoleOptions({"--version"}).options.version);
}

TEST(ConsoleOptions, MistakesAreNamed)
{
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{{"--dir"},
                                                                                     {"--dir", ""},
                                                                                     {"--listen", "127.0.0"},
                                                                                     {"--listen", ":99999"},
                                                                                     {"--folder", "x"},
                                                                                     {"--remember"}})
        EXPECT_FALSE(parseConsoleOptions(bad).error.empty()) << bad.front();
    EXPECT_NE(parseConsoleOptions({"--frobnicate"}).error.find("--frobnicate"), std::string::npos);
}

TEST(MessageKind, FailuresAndRefusalsStandOut)
{
    EXPECT_EQ(messageKind("Failed to open bill file after 5 tries."), MessageKind::Critical);
    EXPECT_EQ(messageKind("Error (11) opening file."), MessageKind::Critical);
    EXPECT_EQ(messageKind("File Open Failed"), MessageKind::Critical);
    EXPECT_EQ(messageKind("Brisko is already running in this folder."), MessageKind::Critical);
    EXPECT_EQ(messageKind("Invalid Configuration file"), MessageKind::Warning);
    EXPECT_EQ(messageKind("Passwords do not match"), MessageKind::Warning);
    EXPECT_EQ(messageKind("Please enter an integer between 1 and 99."), MessageKind::Warning);
    EXPECT_EQ(messageKind("Receipt printed"), MessageKind::Information);
}

TEST(MessageKind, WindowsLineBreaksBecomeOne)
{
    EXPECT_EQ(messageBoxText("Invalid Duration\r\n\r\nCannot have zero duration for last\r\nrate block"),
              "Invalid Duration\n\nCannot have zero duration for last\nrate block");
    EXPECT_EQ(messageBoxText("a\rb\n"), "a\rb\n");
}

} // namespace
} // namespace console::ui
