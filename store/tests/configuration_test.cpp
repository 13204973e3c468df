// The configuration file and the password record.

#include "store/byte_layout.h"
#include "store/configuration.h"
#include "store_test_kit.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace store;
using namespace store::test;

namespace {

std::size_t markerOffset(std::size_t passwordLength) { return 4 + 32 + 4 * passwordLength + 4; }

} // namespace

TEST(PasswordRecordLayout, SeedOutputCheckWordMarkerAndZeros)
{
    for (const std::string& password : {std::string(), std::string("a"), std::string("counter 42"),
                                        std::string(PasswordRecord::kMaxPasswordLength, 'p')}) {
        SCOPED_TRACE(password.size());
        auto record = PasswordRecord::build(password, 70000);
        ASSERT_TRUE(record);
        const auto& b = record->bytes();
        EXPECT_EQ(getU32(b, 0), 70000u);
        const std::size_t marker = markerOffset(password.size());
        EXPECT_NE(getU32(b, marker - 4), 0u);
        EXPECT_EQ(b[marker], std::byte{0xFF});
        EXPECT_TRUE(std::all_of(b.begin() + static_cast<long>(marker) + 1, b.end(),
                                [](std::byte x) { return x == std::byte{0}; }));
        EXPECT_TRUE(record->isValid());
        EXPECT_TRUE(record->verify(password));
    }
    EXPECT_EQ(markerOffset(PasswordRecord::kMaxPasswordLength), 1020u); // fits with the marker in the last bytes
    EXPECT_FALSE(PasswordRecord::build(std::string(PasswordRecord::kMaxPasswordLength + 1, 'p'), 70000));
}

TEST(PasswordRecordLayout, OutputDependsOnEveryCharacterAndOnTheSeed)
{
    auto base = PasswordRecord::build("secret", 70000);
    EXPECT_EQ(base, PasswordRecord::build("secret", 70000));
    EXPECT_NE(base, PasswordRecord::build("secreT", 70000));
    EXPECT_NE(base, PasswordRecord::build("Secret", 70000));
    EXPECT_NE(base, PasswordRecord::build("secret", 70001));
    EXPECT_NE(PasswordRecord::build("", 70000), PasswordRecord::build("", 70001));
    EXPECT_FALSE(base->verify("secret "));
    EXPECT_FALSE(base->verify(""));
    EXPECT_FALSE(PasswordRecord().isValid());
    EXPECT_FALSE(PasswordRecord().verify(""));

    for (int i = 0; i < 50; ++i) {
        auto seed = PasswordRecord::freshSeed();
        EXPECT_GE(seed, 65536u);
        EXPECT_LE(seed, 65536u + 32767u);
    }
}

class ConfigurationTest : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingNotifier notifier;
    fs::path path() const { return folder / "BriskoConfig"; }
};

TEST_F(ConfigurationTest, NewFolderAcceptsTheEmptyPasswordAndWritesNothingUntilSaved)
{
    Configuration config(folder.path(), notifier);
    EXPECT_FALSE(config.save()); // nothing loaded yet: nothing to write
    EXPECT_TRUE(config.verifyOperatorPassword(""));
    EXPECT_FALSE(config.verifyOperatorPassword("x"));
    EXPECT_EQ(fs::file_size(path()), 0u);
    EXPECT_TRUE(notifier.messages.empty());

    ASSERT_TRUE(config.save());
    EXPECT_EQ(fs::file_size(path()), 1536u);
}

TEST_F(ConfigurationTest, SavedFileHasTheRecordAndTheTwoLinesAtTheirOffsets)
{
    const std::string longLine(300, 'L');
    {
        Configuration config(folder.path(), notifier);
        ASSERT_TRUE(config.load());
        ASSERT_TRUE(config.setPassword("open sesame"));
        config.setReceiptLine1("Corner Cafe");
        config.setReceiptLine2(longLine);
        ASSERT_TRUE(config.save());

        auto bytes = readBytes(path());
        ASSERT_EQ(bytes.size(), 1536u);
        EXPECT_TRUE(
            std::equal(config.passwordRecord().bytes().begin(), config.passwordRecord().bytes().end(), bytes.begin()));
        EXPECT_EQ(getText(bytes, 1024, 256), "Corner Cafe");
        EXPECT_EQ(bytes[1024 + 11], std::byte{0});
        EXPECT_EQ(bytes[1280 + 255], std::byte{'L'}); // 256 characters, no terminator
    }
    Configuration reread(folder.path(), notifier);
    EXPECT_TRUE(reread.verifyOperatorPassword("open sesame"));
    EXPECT_FALSE(reread.verifyOperatorPassword("open sesame!"));
    EXPECT_EQ(reread.receiptLine1(), "Corner Cafe");
    EXPECT_EQ(reread.receiptLine2(), std::string(256, 'L'));
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(ConfigurationTest, TooLongPasswordIsRefusedAndTheOldOneStays)
{
    Configuration config(folder.path(), notifier);
    ASSERT_TRUE(config.load());
    ASSERT_TRUE(config.setPassword("short"));
    EXPECT_FALSE(config.setPassword(std::string(Configuration::kMaxPasswordLength + 1, 'x')));
    EXPECT_TRUE(config.verifyOperatorPassword("short"));
    EXPECT_TRUE(config.setPassword(std::string(Configuration::kMaxPasswordLength, 'x')));
    EXPECT_TRUE(config.verifyOperatorPassword(std::string(Configuration::kMaxPasswordLength, 'x')));
}

TEST_F(ConfigurationTest, DamagedRecordIsReportedOnceAndNothingVerifies)
{
    {
        Configuration config(folder.path(), notifier);
        ASSERT_TRUE(config.load());
        config.setPassword("pw");
        config.setReceiptLine1("kept");
        ASSERT_TRUE(config.save());
    }
    auto bytes = readBytes(path());
    bytes[10] ^= std::byte{0x01}; // one derived bit flipped: the check word no longer fits
    writeBytes(path(), bytes);

    Configuration config(folder.path(), notifier);
    EXPECT_FALSE(config.verifyOperatorPassword("pw"));
    EXPECT_FALSE(config.verifyOperatorPassword(""));
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"Invalid Configuration file"});
    EXPECT_EQ(config.receiptLine1(), "kept");
    config.close();

    // A record with no end marker at all, and a short file, are damaged too.
    for (std::size_t size : {std::size_t{1536}, std::size_t{300}}) {
        std::vector<std::byte> plain(size, std::byte{0x11});
        writeBytes(path(), plain);
        RecordingNotifier fresh;
        Configuration other(folder.path(), fresh);
        ASSERT_TRUE(other.load());
        EXPECT_EQ(fresh.messages, std::vector<std::string>{"Invalid Configuration file"});
        EXPECT_FALSE(other.verifyOperatorPassword(""));
    }
}

TEST_F(ConfigurationTest, LockedFileLoadsNothingAndNoPasswordMatches)
{
    Configuration owner(folder.path(), notifier);
    ASSERT_TRUE(owner.load());
    Configuration second(folder.path(), notifier);
    EXPECT_FALSE(second.load());
    EXPECT_FALSE(second.verifyOperatorPassword(""));
    EXPECT_FALSE(second.save());
    EXPECT_TRUE(notifier.messages.empty());
}
