#include "client/client_config.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace client::test {

TEST(ClientConfig, MissingFileIsCreatedEmptyAndMeansNotConfigured)
{
    TempFolder folder;
    ClientConfig config(folder.path() / kConfigFileName);
    EXPECT_TRUE(config.load());
    EXPECT_TRUE(std::filesystem::exists(folder.path() / kConfigFileName));
    EXPECT_EQ(std::filesystem::file_size(folder.path() / kConfigFileName), 0u);
    EXPECT_EQ(config.serverAddress(), platform::Ipv4Address{});
    EXPECT_FALSE(config.isConfigured());
}

TEST(ClientConfig, StoresTheFourOctetsInWrittenOrder)
{
    TempFolder folder;
    auto file = folder.path() / kConfigFileName;
    {
        ClientConfig config(file);
        ASSERT_TRUE(config.store(*platform::Ipv4Address::parse("192.168.0.10")));
        // A zero octet inside a real address: the station connects to it.
        EXPECT_TRUE(config.isConfigured());
    }
    EXPECT_EQ(readFile(file), std::string("\xC0\xA8\x00\x0A", 4));

    ClientConfig reread(file);
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.serverAddress().toString(), "192.168.0.10");
    EXPECT_TRUE(reread.isConfigured());
}

TEST(ClientConfig, OnlyTheUnsetAddressMeansNotConfigured)
{
    TempFolder folder;
    auto file = folder.path() / kConfigFileName;
    writeFile(file, std::string("\x7F\x00\x00\x01", 4));
    {
        ClientConfig config(file);
        ASSERT_TRUE(config.load());
        EXPECT_EQ(config.serverAddress(), platform::Ipv4Address::loopback());
        EXPECT_TRUE(config.isConfigured());
        ASSERT_TRUE(config.store(platform::Ipv4Address{}));
        EXPECT_FALSE(config.isConfigured());
    }
    EXPECT_EQ(readFile(file), std::string(4, '\0'));
    // Three bytes cannot hold an address.
    writeFile(file, std::string("\x7F\x00\x00", 3));
    ClientConfig shortFile(file);
    ASSERT_TRUE(shortFile.load());
    EXPECT_FALSE(shortFile.isConfigured());
}

TEST(ClientConfig, StoreOverwritesOnlyTheStartAndShortFilesReadAsUnset)
{
    TempFolder folder;
    auto file = folder.path() / kConfigFileName;
    writeFile(file, std::string("\x0A\x01", 2));
    {
        ClientConfig config(file);
        ASSERT_TRUE(config.load());
        EXPECT_EQ(config.serverAddress(), platform::Ipv4Address{});
    }

    writeFile(file, std::string("\x01\x02\x03\x04tail", 8));
    ClientConfig longer(file);
    ASSERT_TRUE(longer.load());
    EXPECT_EQ(longer.serverAddress().toString(), "1.2.3.4");
    EXPECT_TRUE(longer.isConfigured());
    ASSERT_TRUE(longer.store(*platform::Ipv4Address::parse("10.0.0.7")));
    longer.close();
    EXPECT_EQ(readFile(file), std::string("\x0A\x00\x00\x07tail", 8));
}

TEST(ClientConfig, HeldOpenWithWritingDeniedToOthers)
{
    TempFolder folder;
    auto file = folder.path() / kConfigFileName;
    writeFile(file, std::string("\x7F\x00\x00\x01", 4));
    ClientConfig first(file);
    ASSERT_TRUE(first.load());

    ClientConfig second(file);
    EXPECT_FALSE(second.load());
    EXPECT_EQ(second.serverAddress(), platform::Ipv4Address{});
    EXPECT_FALSE(second.store(platform::Ipv4Address::loopback()));

    first.close();
    EXPECT_TRUE(second.load());
}

} // namespace client::test
