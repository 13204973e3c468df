// A new cafe's first run: the password box says the password is empty, the
// stations already knocking are offered, and the owner's choices reach the
// files, the log and the station table at once.

#include "cafe.h"

#include "console/configuration/first_run_setup.h"
#include "console/texts.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/rate_table.h"

#include <gtest/gtest.h>

namespace console::test {

using configuration::FirstRunSetup;
using configuration::RatePreset;

namespace {
class SilentNotifier final : public store::StoreNotifier {
public:
    void showMessage(const std::string&) override {}
};
} // namespace

TEST(FirstRun, ANewCafeIsSetUpWithTheStationThatKnockedAndRunsAtOnce)
{
    TempFolder folder;
    ConsoleRig rig{folder.path(), noonOfTestDay()};
    rig.startConsole();
    ASSERT_EQ(rig.password.hints, std::vector<std::string>{kNoPasswordYetHint});
    ASSERT_TRUE(rig.console().firstRunWanted());

    // A station set up before the counter knocks and is turned away, unknown.
    Cafe cafe(rig);
    cafe.addStation(0);
    const auto knocker = platform::Ipv4Address::parse("127.0.0.2").value();
    ASSERT_TRUE(cafe.runUntil([&] { return !rig.console().stationsKnocking().empty(); }));
    EXPECT_EQ(rig.console().stationsKnocking(), std::vector<platform::Ipv4Address>{knocker});

    FirstRunSetup setup;
    setup.setKnocking(rig.console().stationsKnocking());
    ASSERT_EQ(setup.choosePassword("till", "till"), std::nullopt);
    ASSERT_EQ(setup.addStation("", setup.knocking().front().toString()), std::nullopt);
    EXPECT_TRUE(setup.knocking().empty()) << "an added station is no longer offered";
    ASSERT_EQ(setup.chooseRates(RatePreset::HalfHourThenQuarters, "2.50"), std::nullopt);
    setup.setReceiptLines("Corner Cafe", "Thank you");
    ASSERT_TRUE(rig.console().applyFirstRun(setup));

    // The station connects without a restart, and the setup is not offered again.
    ASSERT_TRUE(cafe.runUntil([&] { return rig.status(0) == kStatusStopped; }));
    EXPECT_TRUE(rig.console().stationsKnocking().empty());
    EXPECT_FALSE(rig.console().firstRunWanted());

    // The next start reads what the first run wrote.
    ASSERT_TRUE(rig.console().requestExit());
    SilentNotifier notifier;
    store::ClientTable clients(folder.path(), notifier);
    ASSERT_TRUE(clients.load());
    ASSERT_EQ(clients.entries().size(), 1u);
    EXPECT_EQ(clients.entries()[0].computerName, "PC 1");
    EXPECT_EQ(clients.entries()[0].address, knocker);
    store::RateTable rates(folder.path());
    ASSERT_TRUE(rates.load());
    EXPECT_EQ(rates.rows(),
              (std::vector<store::RateBlock>{{"00:30:00", 1, 1.25}, {"00:15:00", store::kRepeatBlock, 0.63}}));
    store::Configuration configuration(folder.path(), notifier);
    EXPECT_TRUE(configuration.verifyOperatorPassword("till"));
    EXPECT_EQ(configuration.receiptLine2(), "Thank you");

    const auto events = logEvents(folder.path());
    EXPECT_TRUE(hasEvent(events, "LINK REFUSED,127.0.0.2,unknown station"));
    EXPECT_TRUE(hasEvent(events, "PASSWORD CHANGED,"));
    EXPECT_TRUE(hasEvent(events, "CONFIG ADDED,Clients,1,PC 1,127.0.0.2"));
    EXPECT_TRUE(hasEvent(events, "CONFIG ADDED,Rates,2,00:15:00,etc.,0.63"));
    EXPECT_TRUE(hasEvent(events, "RECEIPT CHANGED,Corner Cafe,Thank you"));
}

TEST(FirstRun, OnlyACafeNobodyHasBegunToSetUpIsOffered)
{
    EXPECT_TRUE(FirstRunSetup::wanted(true, 0, 0));
    EXPECT_FALSE(FirstRunSetup::wanted(false, 0, 0)) << "a password was set";
    EXPECT_FALSE(FirstRunSetup::wanted(true, 1, 0)) << "a station was added";
    EXPECT_FALSE(FirstRunSetup::wanted(true, 0, 1)) << "rates were typed";
}

TEST(FirstRun, TheOwnersTyposAreRefusedWithAReasonAndChangeNothing)
{
    FirstRunSetup setup;
    EXPECT_EQ(setup.choosePassword("till", "tilll"), std::optional<std::string>("Passwords do not match"));
    EXPECT_EQ(setup.password(), std::nullopt);
    EXPECT_TRUE(setup.choosePassword(std::string(store::Configuration::kMaxPasswordLength + 1, 'x'),
                                     std::string(store::Configuration::kMaxPasswordLength + 1, 'x')));
    EXPECT_EQ(setup.choosePassword("", ""), std::nullopt) << "both empty keep the empty password";
    EXPECT_EQ(setup.password(), std::nullopt);

    ASSERT_EQ(setup.addStation("Window seat", "192.168.1.21"), std::nullopt);
    EXPECT_TRUE(setup.addStation("Door", "192.168.1.21")) << "the same address twice";
    EXPECT_TRUE(setup.addStation("Door", "192.168.1"));
    EXPECT_TRUE(setup.addStation("Door", "0.0.0.0"));
    EXPECT_TRUE(setup.addStation("Door", "192.168.1.300"));
    EXPECT_EQ(setup.stations().size(), 1u);
    EXPECT_EQ(setup.suggestedName(), "PC 2");

    for (const char* price : {"", "abc", "0", "0.00", "2,50", "1.234", "-2", "12345"})
        EXPECT_TRUE(setup.chooseRates(RatePreset::QuarterHours, price)) << price;
    EXPECT_TRUE(setup.rates().empty());
    ASSERT_EQ(setup.chooseRates(RatePreset::WholeHours, " 3 "), std::nullopt);
    EXPECT_EQ(setup.rates(), (std::vector<store::RateBlock>{{"01:00:00", store::kRepeatBlock, 3.0}}));

    setup.setReceiptLines(std::string(400, 'a'), "");
    EXPECT_EQ(setup.receiptLine1().size(), store::Configuration::kLineSize - 1) << "the file keeps 255 characters";
}

TEST(FirstRun, EachRefusalSaysWhatWasTypedAndWhatToTypeInstead)
{
    FirstRunSetup setup;
    const std::string tooLong(store::Configuration::kMaxPasswordLength + 1, 'x');
    EXPECT_EQ(setup.choosePassword(tooLong, tooLong), "The password is too long: at most 245 characters.");

    ASSERT_EQ(setup.addStation("Window seat", "192.168.1.21"), std::nullopt);
    EXPECT_EQ(setup.addStation("Door", "192.168.1.21"), "Station Window seat has the address 192.168.1.21 already.");
    EXPECT_EQ(setup.addStation("Door", "192.168.1"),
              "\"192.168.1\" is not a station's address. Type four numbers with dots, such as 192.168.1.21.");
    EXPECT_EQ(setup.addStation(std::string(store::ClientCodec::kNameSize, 'n'), "192.168.1.22"),
              "The station's name is too long.");
    EXPECT_EQ(setup.chooseRates(RatePreset::QuarterHours, "2,50"),
              "\"2,50\" is not a price. Type the price of one hour, such as 2.00.");

    for (int i = 2; i <= store::kMaxStations; ++i)
        ASSERT_EQ(setup.addStation("", "10.0.0." + std::to_string(i)), std::nullopt) << i;
    EXPECT_EQ(setup.stations().back().computerName, "PC 99");
    EXPECT_EQ(setup.addStation("", "10.0.1.1"), "A cafe has at most 99 stations.");
}

} // namespace console::test
