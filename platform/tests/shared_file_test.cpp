#include "platform/shared_file.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using platform::FileError;
using platform::SharedFile;

namespace {

class SharedFileTest : public ::testing::Test {
protected:
    testsupport::TempFolder folder;
    const fs::path dir = folder.path();
};

std::vector<std::byte> bytes(const std::string& s)
{
    auto span = std::as_bytes(std::span(s.data(), s.size()));
    return {span.begin(), span.end()};
}

} // namespace

TEST_F(SharedFileTest, OwnerCreatesNeverTruncatesAndDeniesASecondOwner)
{
    auto path = dir / "Data";
    {
        std::ofstream(path) << "kept";
    }
    auto opened = SharedFile::openOwned(path);
    ASSERT_TRUE(opened);
    SharedFile& owner = *opened;
    ASSERT_TRUE(owner.isOpen());
    EXPECT_EQ(*owner.size(), 4u);

    EXPECT_EQ(SharedFile::openOwned(path).error_or(FileError::None), FileError::SharingViolation);

    auto reader = SharedFile::openReader(path);
    ASSERT_TRUE(reader);
    EXPECT_FALSE(reader->write(std::string("x")));

    owner.close();
    EXPECT_TRUE(SharedFile::openOwned(path));
    EXPECT_TRUE(SharedFile::openOwned(dir / "Fresh"));
    EXPECT_TRUE(fs::exists(dir / "Fresh"));
}

TEST_F(SharedFileTest, ReplaceContentKeepsTheLockAndLeavesNoStaleBytes)
{
    auto path = dir / "Table";
    auto owner = SharedFile::openOwned(path).value_or(SharedFile{});
    ASSERT_TRUE(owner.write(std::string("0123456789")));
    ASSERT_TRUE(owner.replaceContent(bytes("abc")));
    EXPECT_EQ(fs::file_size(path), 3u);
    EXPECT_FALSE(fs::exists(dir / "Table.new"));
    // The name is still held: nobody else may own it.
    EXPECT_EQ(SharedFile::openOwned(path).error_or(FileError::None), FileError::SharingViolation);
    auto all = owner.readAll();
    ASSERT_TRUE(all);
    EXPECT_EQ(*all, bytes("abc"));
}

TEST_F(SharedFileTest, ReplaceContentFailureKeepsTheOldContent)
{
    auto path = dir / "Table";
    auto owner = SharedFile::openOwned(path).value_or(SharedFile{});
    ASSERT_TRUE(owner.write(std::string("old")));
    // A folder where the temporary file must go makes the replacement fail.
    fs::create_directory(dir / "Table.new");
    fs::create_directory(dir / "Table.new" / "x");
    EXPECT_FALSE(owner.replaceContent(bytes("new content")));
    auto all = owner.readAll();
    ASSERT_TRUE(all);
    EXPECT_EQ(*all, bytes("old"));
}

TEST_F(SharedFileTest, ReaderOfMissingFileFails)
{
    EXPECT_EQ(SharedFile::openReader(dir / "Missing").error_or(FileError::None), FileError::NotFound);
    EXPECT_FALSE(fs::exists(dir / "Missing")) << "a reader creates nothing";
}
