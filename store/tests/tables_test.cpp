// Lookups and texts served by the stations, sale items and printers tables.

#include "store/client_table.h"
#include "store/printer_table.h"
#include "store/sale_item_table.h"
#include "store/text_number.h"
#include "store_test_kit.h"

#include <gtest/gtest.h>

using namespace store;
using namespace store::test;

TEST(ClientTableTest, MoreThan99StationsAreCutWithAMessage)
{
    TempFolder folder;
    RecordingNotifier notifier;
    std::vector<ClientEntry> many;
    for (int i = 0; i < 120; ++i)
        many.push_back({"PC" + std::to_string(i + 1),
                        {{10, 0, static_cast<std::uint8_t>(i / 250), static_cast<std::uint8_t>(i + 1)}}});
    writeBytes(folder / "BriskoClient", encodeRecords<ClientCodec>(many));

    ClientTable clients(folder.path(), notifier);
    ASSERT_TRUE(clients.load());
    EXPECT_EQ(notifier.messages, std::vector<std::string>{"Invalid Client data file"});
    EXPECT_EQ(clients.stationCount(), 99);
    EXPECT_EQ(clients.entries().size(), 99u);
    EXPECT_EQ(fs::file_size(folder / "BriskoClient"), 120u * 264u); // untouched until saved
    EXPECT_TRUE(clients.load());
    EXPECT_EQ(notifier.messages.size(), 1u);
}

TEST(ClientTableTest, LookupsByAddressAndByComputerName)
{
    TempFolder folder;
    RecordingNotifier notifier;
    ClientTable clients(folder.path(), notifier);
    ASSERT_TRUE(clients.load());
    EXPECT_EQ(clients.stationCount(), 0);
    EXPECT_EQ(clients.findByAddress({{192, 168, 1, 11}}), -1);
    EXPECT_EQ(clients.findByComputerName("PC01"), -1);

    clients.entries() = {
        {"Front-PC", {{192, 168, 1, 11}}}, {"BACK", {{192, 168, 1, 12}}}, {"back", {{192, 168, 1, 12}}}};
    EXPECT_EQ(clients.findByAddress({{192, 168, 1, 12}}), 1);
    EXPECT_EQ(clients.findByAddress({{12, 1, 168, 192}}), -1);
    EXPECT_EQ(clients.findByComputerName("\\\\front-pc"), 1);
    EXPECT_EQ(clients.findByComputerName("Back"), 2);
    EXPECT_EQ(clients.findByComputerName("\\front-pc"), -1);
    EXPECT_EQ(clients.findByComputerName("Front"), -1);
}

TEST(ClientTableTest, AddressTextsReadLikeTheClientsPage)
{
    EXPECT_EQ(parseAddressText("192.168.1.11"), (platform::Ipv4Address{{192, 168, 1, 11}}));
    EXPECT_EQ(parseAddressText("300.x.-1.7abc"), (platform::Ipv4Address{{44, 0, 255, 7}}));
    EXPECT_EQ(parseAddressText("<IP Address>"), platform::Ipv4Address{});
    EXPECT_EQ(parseAddressText("1.2"), platform::Ipv4Address{});
}

TEST(SaleItemTableTest, CaptionsPricesAndFlags)
{
    TempFolder folder;
    SaleItemTable items(folder.path());
    ASSERT_TRUE(items.load());
    items.items() = {{"Tea & Cake", 2.5, true}, {"Repairs", 0.0, false}};
    EXPECT_EQ(items.saleItemCount(), 2);
    EXPECT_EQ(items.caption(0, false), "Tea & Cake");
    EXPECT_EQ(items.caption(0, true), "Tea && Cake");
    EXPECT_EQ(items.priceText(0), "2.50");
    EXPECT_TRUE(items.fixedPrice(0));
    EXPECT_FALSE(items.fixedPrice(1));
    for (int outside : {2, 7, -1}) {
        EXPECT_EQ(items.caption(outside, true), "");
        EXPECT_EQ(items.priceText(outside), "");
        EXPECT_FALSE(items.fixedPrice(outside));
    }
}

TEST(PrinterTableTest, PagePriceOfTheFirstExactMatchAndTheServerName)
{
    TempFolder folder;
    PrinterTable printers(folder.path());
    ASSERT_TRUE(printers.load());
    EXPECT_EQ(printers.lookupPagePrice("Laser"), -1.0);
    EXPECT_EQ(printers.printServerName(), "");

    printers.entries() = {{"SERVER", "Laser", 0.10}, {"SERVER", "Color", 0.50}, {"SERVER", "Laser", 0.99}};
    EXPECT_EQ(printers.lookupPagePrice("Laser"), 0.10);
    EXPECT_EQ(printers.lookupPagePrice("Color"), 0.50);
    EXPECT_EQ(printers.lookupPagePrice("laser"), -1.0);
    EXPECT_EQ(printers.printServerName(), "SERVER");
}

TEST(TextNumbers, ReadLikeTheTextToNumberConversions)
{
    EXPECT_EQ(parseMoneyText("12.50"), 12.5);
    EXPECT_EQ(parseMoneyText("  -3.25xyz"), -3.25);
    EXPECT_EQ(parseMoneyText("+7"), 7.0);
    EXPECT_EQ(parseMoneyText("Varies"), 0.0);
    EXPECT_EQ(parseMoneyText(""), 0.0);
    EXPECT_EQ(parseIntText("12"), 12);
    EXPECT_EQ(parseIntText(" 42abc"), 42);
    EXPECT_EQ(parseIntText("abc"), 0);
    EXPECT_EQ(parseIntText("99999999999"), 0);
    EXPECT_EQ(formatMoney(2.005), "2.00");
    EXPECT_EQ(formatMoney(1234.5), "1234.50");
}
