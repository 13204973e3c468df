// Record layouts byte for byte, and the generic record file's load/save rules.

#include "store/client_table.h"
#include "store/printer_table.h"
#include "store/rate_table.h"
#include "store/sale_item_table.h"
#include "store_test_kit.h"

#include <gtest/gtest.h>

using namespace store;
using namespace store::test;

namespace {

template <class Codec>
std::vector<std::byte> encodeOne(const typename Codec::Entry& entry)
{
    return encodeRecords<Codec>({entry});
}

std::vector<std::byte> knownRateRecord()
{
    std::vector<std::byte> r(32);
    place(r, 8, "00:30:00");                         // NUL at 16, zeros to 19
    placeLittleEndian(r, 20, 1, 4);                  // count
    placeLittleEndian(r, 24, 0x3FF8000000000000, 8); // 1.5
    return r;
}

} // namespace

TEST(RecordLayout, EachCodecWritesItsKnownRecord)
{
    EXPECT_EQ(encodeOne<RateCodec>({"00:30:00", 1, 1.5}), knownRateRecord());

    std::vector<std::byte> client(264);
    place(client, 4, "PC01");
    placeLittleEndian(client, 260, 0x0B01A8C0, 4); // 192.168.1.11, first number lowest
    EXPECT_EQ(encodeOne<ClientCodec>({"PC01", {{192, 168, 1, 11}}}), client);

    std::vector<std::byte> item(56);
    place(item, 8, "Tea & Cake");
    placeLittleEndian(item, 40, 0x4002000000000000, 8); // 2.25
    item[48] = std::byte{1};
    EXPECT_EQ(encodeOne<SaleItemCodec>({"Tea & Cake", 2.25, true}), item);

    std::vector<std::byte> printer(528);
    place(printer, 8, "SERVER");
    place(printer, 264, "Laser");
    placeLittleEndian(printer, 520, 0x3FB999999999999A, 8); // 0.1
    EXPECT_EQ(encodeOne<PrinterCodec>({"SERVER", "Laser", 0.1}), printer);

    EXPECT_EQ(encodeOne<RateCodec>({"01:00:00", kRepeatBlock, 2.0})[20], std::byte{0xFF});
}

TEST(RecordLayout, ReadersIgnoreHeadWordsReservedBytesAndBytesAfterTheNul)
{
    auto rate = knownRateRecord();
    for (std::size_t i : {0u, 1u, 5u, 7u, 17u, 19u})
        rate[i] = std::byte{0xAB};
    EXPECT_EQ(RateCodec::decode(rate), (RateBlock{"00:30:00", 1, 1.5}));

    auto item = encodeOne<SaleItemCodec>({"Soda", 0.0, false});
    item[3] = item[6] = item[30] = item[55] = std::byte{0x5A};
    EXPECT_EQ(SaleItemCodec::decode(item), (SaleItem{"Soda", 0.0, false}));
}

TEST(RecordLayout, TextWithoutNulYieldsTheWholeFieldAndLongTextIsCut)
{
    auto rate = knownRateRecord();
    place(rate, 8, "123456789012"); // fills the 12-byte field, no terminator
    EXPECT_EQ(RateCodec::decode(rate).blockDuration, "123456789012");

    const std::string longName(300, 'n');
    auto client = encodeOne<ClientCodec>({longName, {}});
    EXPECT_EQ(client[4 + 254], std::byte{'n'});
    EXPECT_EQ(client[4 + 255], std::byte{0});
    EXPECT_EQ(ClientCodec::decode(client).computerName, std::string(255, 'n'));

    auto item = encodeOne<SaleItemCodec>({std::string(40, 'x'), 1.0, true});
    EXPECT_EQ(SaleItemCodec::decode(item).description.size(), 31u);
}

class RecordFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    fs::path ratePath() const { return folder / "BriskoRate"; }
    std::vector<RateBlock> threeRows{{"00:30:00", 1, 1.5}, {"00:15:00", 2, 0.5}, {"01:00:00", -1, 2.0}};
};

TEST_F(RecordFileTest, MissingFileLoadsEmptyAndIsCreatedEmpty)
{
    RateTable rates(folder.path());
    EXPECT_TRUE(rates.load());
    EXPECT_TRUE(rates.rows().empty());
    ASSERT_TRUE(fs::exists(ratePath()));
    EXPECT_EQ(fs::file_size(ratePath()), 0u);
}

TEST_F(RecordFileTest, SaveWritesEveryRowAndAShrunkTableLeavesNoStaleRecords)
{
    RateTable rates(folder.path());
    ASSERT_TRUE(rates.load());
    rates.rows() = threeRows;
    ASSERT_TRUE(rates.save());
    EXPECT_EQ(readBytes(ratePath()), encodeRecords<RateCodec>(threeRows));

    rates.rows().resize(1);
    ASSERT_TRUE(rates.save());
    EXPECT_EQ(fs::file_size(ratePath()), 32u);
    EXPECT_EQ(readBytes(ratePath()), knownRateRecord());

    rates.close();
    RateTable again(folder.path());
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.rows(), std::vector<RateBlock>{threeRows[0]});
}

TEST_F(RecordFileTest, LoadReadsTheFileOnceAndCloseLetsAReloadReadAfresh)
{
    writeBytes(ratePath(), encodeRecords<RateCodec>(threeRows));
    RateTable rates(folder.path());
    ASSERT_TRUE(rates.load());
    writeBytes(ratePath(), encodeRecords<RateCodec>({threeRows[2]})); // changed behind the console's back
    EXPECT_TRUE(rates.load());
    EXPECT_EQ(rates.rows(), threeRows);

    rates.close();
    EXPECT_FALSE(rates.isLoaded());
    ASSERT_TRUE(rates.load());
    EXPECT_EQ(rates.rows(), std::vector<RateBlock>{threeRows[2]});
}

TEST_F(RecordFileTest, PartialTrailingRecordIsIgnored)
{
    auto bytes = encodeRecords<RateCodec>(threeRows);
    bytes.resize(bytes.size() - 5);
    writeBytes(ratePath(), bytes);
    RateTable rates(folder.path());
    ASSERT_TRUE(rates.load());
    EXPECT_EQ(rates.rows(), std::vector<RateBlock>(threeRows.begin(), threeRows.begin() + 2));
}

TEST_F(RecordFileTest, SecondOwnerIsLockedOutAndCanNeitherLoadNorSave)
{
    writeBytes(ratePath(), encodeRecords<RateCodec>(threeRows));
    RateTable first(folder.path());
    ASSERT_TRUE(first.load());

    RateTable second(folder.path());
    EXPECT_FALSE(second.load());
    EXPECT_FALSE(second.isLoaded());
    EXPECT_TRUE(second.rows().empty());
    second.rows().push_back({"00:00:01", -1, 9.0});
    EXPECT_FALSE(second.save());
    EXPECT_EQ(readBytes(ratePath()), encodeRecords<RateCodec>(threeRows));

    first.close();
    EXPECT_TRUE(second.load());
    EXPECT_EQ(second.rows(), threeRows);
}

TEST_F(RecordFileTest, FailedSaveKeepsThePreviousFileWholeAndTheLock)
{
    writeBytes(ratePath(), encodeRecords<RateCodec>(threeRows));
    RateTable rates(folder.path());
    ASSERT_TRUE(rates.load());
    // The new content cannot be written where it goes first.
    fs::create_directories(folder / "BriskoRate.new" / "blocker");
    rates.rows().pop_back();
    EXPECT_FALSE(rates.save());
    EXPECT_EQ(readBytes(ratePath()), encodeRecords<RateCodec>(threeRows));
    EXPECT_FALSE(RateTable(folder.path()).load()); // still held

    fs::remove_all(folder / "BriskoRate.new");
    EXPECT_TRUE(rates.save());
    EXPECT_EQ(fs::file_size(ratePath()), 64u);
    EXPECT_FALSE(RateTable(folder.path()).load());
}
