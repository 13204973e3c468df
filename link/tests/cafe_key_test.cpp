#include "link/cafe_key.h"
#include "link/cafe_key_file.h"

#include "testsupport/temp_folder.h"
#include "testsupport/whole_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <regex>

using namespace stationlink;

namespace {

constexpr std::string_view kAlphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
// Bits 01 02 03 ... 0f.
constexpr std::string_view kCounting = "04106-1050R-3GG28-A1C60-T3GFZ";

CafeKey freshKey()
{
    auto key = CafeKey::generate();
    EXPECT_TRUE(key.has_value());
    return key ? *key : *CafeKey::fromCode(kCounting);
}

std::string hex(const CafeKey::Psk& psk)
{
    std::string text;
    for (unsigned char b : psk)
        text += {"0123456789abcdef"[b >> 4], "0123456789abcdef"[b & 0xF]};
    return text;
}

unsigned modeOf(const std::filesystem::path& file)
{
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

} // namespace

TEST(CafeKey, CodeReadsBackToTheSameKey)
{
    const CafeKey key = freshKey();
    const std::string code = key.code();
    EXPECT_TRUE(std::regex_match(code, std::regex("[0-9A-HJKMNP-TV-Z]{5}(-[0-9A-HJKMNP-TV-Z]{5}){4}"))) << code;
    EXPECT_EQ(CafeKey::fromCode(code), key);
    EXPECT_EQ(CafeKey::problemWith(code), std::nullopt);
    EXPECT_NE(freshKey().psk(), key.psk());
}

// Console and stations of different versions must agree on the bits a code
// stands for and on the TLS key made from them; the expected keys were worked
// out with `openssl kdf ... HKDF`, apart from this code.
TEST(CafeKey, CodeAndDerivedKeyArePinned)
{
    auto zero = CafeKey::fromCode("00000-00000-00000-00000-00000");
    ASSERT_TRUE(zero);
    EXPECT_EQ(hex(zero->psk()), "0dfd7a84c7ffb8ada6c4f55e8cd5e7e2c0b4712f7d449dff7d9c223bcb3c8651");
    auto counting = CafeKey::fromCode(kCounting);
    ASSERT_TRUE(counting);
    EXPECT_EQ(hex(counting->psk()), "8951e9d7bc339a828f82143b706841f63a91bd63fefc9f830ab0608ae9112a05");
    EXPECT_EQ(counting->code(), kCounting);

    // As a person may type it: lower case, spaced at will, O for 0, I or L for 1.
    EXPECT_EQ(CafeKey::fromCode(" o4Io6 lo5or-3gg28a1c6o-t3g fz\t"), counting);
}

// Every single wrong character and every swap of two different neighbours,
// over many keys: none may pass for another key.
TEST(CafeKey, CheckCharacterCatchesEveryTypoAndNeighbourSwap)
{
    for (int round = 0; round < 100; ++round) {
        std::string code = freshKey().code();
        std::erase(code, '-');
        for (std::size_t i = 0; i < code.size(); ++i) {
            for (char replacement : kAlphabet) {
                std::string typo = code;
                typo[i] = replacement;
                EXPECT_EQ(CafeKey::fromCode(typo).has_value(), replacement == code[i]) << code << " -> " << typo;
            }
            if (i + 1 < code.size() && code[i] != code[i + 1]) {
                std::string swapped = code;
                std::swap(swapped[i], swapped[i + 1]);
                EXPECT_FALSE(CafeKey::fromCode(swapped)) << code << " -> " << swapped;
            }
        }
    }
}

TEST(CafeKey, ProblemsAreExplainedToTheOwner)
{
    const std::string code(kCounting);
    EXPECT_EQ(CafeKey::problemWith(code.substr(0, 26)), "The cafe's key has 25 characters; this has 22.");
    EXPECT_EQ(CafeKey::problemWith(code + "7"), "The cafe's key has 25 characters; this has 26.");
    EXPECT_EQ(CafeKey::problemWith("7KQ2M-9XH4T-u"), "The cafe's key cannot contain \"u\".");
    EXPECT_EQ(CafeKey::problemWith("7KQ2M_9XH4T"), "The cafe's key cannot contain \"_\".");
    EXPECT_EQ(CafeKey::problemWith("7KQ2M-\xC3\xA9"), "The cafe's key holds only letters and digits.");
    EXPECT_EQ(CafeKey::problemWith("14106-1050R-3GG28-A1C60-T3GFZ"),
              "The cafe's key has a typing error: check it against the console's Configuration dialog.");
    EXPECT_FALSE(CafeKey::fromCode("14106-1050R-3GG28-A1C60-T3GFZ"));
}

TEST(CafeKeyFile, IsOwnerOnlyAndReadsBackAndDamageIsTold)
{
    testsupport::TempFolder folder;
    const auto file = folder / "cafe.key";
    EXPECT_EQ(readCafeKeyFile(file).problem, "") << "a missing file is no fault";
    EXPECT_FALSE(readCafeKeyFile(file).key);

    const CafeKey first = freshKey();
    ASSERT_TRUE(writeCafeKeyFile(file, first));
    EXPECT_EQ(testsupport::readFile(file), first.code() + "\n");
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(readCafeKeyFile(file).key, first);
    // A new key replaces the old one whole and leaves nothing beside it.
    const CafeKey second = freshKey();
    ASSERT_TRUE(writeCafeKeyFile(file, second));
    EXPECT_EQ(readCafeKeyFile(file).key, second);
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    EXPECT_FALSE(writeCafeKeyFile(folder / "no such folder" / "cafe.key", first));

    testsupport::writeFile(file, "  " + first.code() + " \r\n\n"); // written by hand
    EXPECT_EQ(readCafeKeyFile(file).key, first);
    testsupport::writeFile(file, "14106-1050R-3GG28-A1C60-T3GFZ\n");
    auto damaged = readCafeKeyFile(file);
    EXPECT_FALSE(damaged.key);
    EXPECT_NE(damaged.problem.find("is damaged. The cafe's key has a typing error"), std::string::npos)
        << damaged.problem;
    // A folder in the file's place opens, but cannot be read.
    std::filesystem::create_directory(folder / "folder.key");
    auto unreadable = readCafeKeyFile(folder / "folder.key");
    EXPECT_FALSE(unreadable.key);
    EXPECT_NE(unreadable.problem.find("cannot be read"), std::string::npos) << unreadable.problem;
}
