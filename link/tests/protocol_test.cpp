#include "link/station_words.h"
#include "link/protocol.h"

#include "platform/local_time.h"

#include <gtest/gtest.h>

using namespace stationlink;
using namespace stationlink::layout;
using platform::Ipv4Address;

namespace {

std::time_t localTime(int year, int month, int day, int hour, int minute, int second)
{
    return *platform::localDateTime(year, month, day, hour, minute, second);
}

const std::string kEuro(1, '\x80');

} // namespace

TEST(HandshakeMessages, ConnectCarriesTheDottedAddressRightAfterTheKeyword)
{
    EXPECT_EQ(buildConnect({{10, 0, 0, 7}}), "CONNECT10.0.0.7");
    EXPECT_EQ(parseConnect("CONNECT10.0.0.7"), Ipv4Address({10, 0, 0, 7}));
    EXPECT_EQ(parseConnect(buildConnect({{127, 0, 0, 100}})), Ipv4Address({127, 0, 0, 100}));

    EXPECT_FALSE(parseConnect("CONNECT"));
    EXPECT_FALSE(parseConnect("CONNEC"));
    EXPECT_FALSE(parseConnect("connect10.0.0.7"));
    EXPECT_FALSE(parseConnect("CONNECT 10.0.0.7"));
    EXPECT_FALSE(parseConnect("CONNECT10.0.0.7OK"));
    EXPECT_FALSE(parseConnect("CONNECT10.0.0.256"));
    EXPECT_FALSE(parseConnect("CONNECT10.0.0"));
    EXPECT_FALSE(parseConnect(""));
    EXPECT_FALSE(parseConnect(std::string("CONNECT10.0.0.7\0", 16)));
    EXPECT_FALSE(parseConnect("CONNECT10.0.0.7" + std::string(300, ' ')));
}

TEST(HandshakeMessages, PortReplyIsPlainDecimalText)
{
    EXPECT_EQ(buildPortReply(1049), "1049");
    EXPECT_EQ(buildPortReply(65535), "65535");
    EXPECT_EQ(parsePortReply("1049"), 1049);
    EXPECT_EQ(parsePortReply("65535"), 65535);
    EXPECT_FALSE(parsePortReply("0"));
    EXPECT_FALSE(parsePortReply("65536"));
    EXPECT_FALSE(parsePortReply("000001049"));
    EXPECT_FALSE(parsePortReply("1049 "));
    EXPECT_FALSE(parsePortReply("-1"));
    EXPECT_FALSE(parsePortReply(""));
    EXPECT_FALSE(parsePortReply("OK"));
}

TEST(HandshakeMessages, OkIsExactlyTwoBytes)
{
    EXPECT_TRUE(isOk("OK"));
    EXPECT_FALSE(isOk("OK "));
    EXPECT_FALSE(isOk(std::string("OK\0", 3)));
    EXPECT_FALSE(isOk("ok"));
    EXPECT_FALSE(isOk("O"));
}

TEST(StartedMessage, CarriesTheLocalStartTimeAsFourteenDigits)
{
    std::time_t start = localTime(2006, 8, 11, 10, 54, 34);
    EXPECT_EQ(buildStarted(start), "STARTED20060811105434");
    EXPECT_EQ(parseStarted("STARTED20060811105434"), start);
    std::tm tm = platform::toLocalTime(*parseStarted("STARTED20060811105434"));
    EXPECT_EQ(tm.tm_year, 106);
    EXPECT_EQ(tm.tm_mon, 7);
    EXPECT_EQ(tm.tm_mday, 11);
    EXPECT_EQ(tm.tm_hour, 10);
    EXPECT_EQ(tm.tm_min, 54);
    EXPECT_EQ(tm.tm_sec, 34);
    EXPECT_EQ(parseStarted("STARTED20080229235959"), localTime(2008, 2, 29, 23, 59, 59));
}

TEST(StartedMessage, RejectsStampsThatAreNotAValidTime)
{
    EXPECT_FALSE(parseStarted("STARTED"));
    EXPECT_FALSE(parseStarted("STARTED2006081110543"));
    EXPECT_FALSE(parseStarted("STARTED200608111054345"));
    EXPECT_FALSE(parseStarted("STARTED2006081110543x"));
    EXPECT_FALSE(parseStarted("STARTED-0060811105434"));
    EXPECT_FALSE(parseStarted("STARTED20061311105434")); // month 13
    EXPECT_FALSE(parseStarted("STARTED20060001105434")); // month 0
    EXPECT_FALSE(parseStarted("STARTED20060230105434")); // 30 February
    EXPECT_FALSE(parseStarted("STARTED20070229105434")); // not a leap year
    EXPECT_FALSE(parseStarted("STARTED20060811245434"));
    EXPECT_FALSE(parseStarted("STARTED20060811106034"));
    EXPECT_FALSE(parseStarted("STARTED20060811105460"));
    EXPECT_FALSE(parseStarted("STARTED00000000000000"));
    EXPECT_FALSE(parseStarted("STARTED20060811105434OK"));
    EXPECT_FALSE(parseStarted("started20060811105434"));
}

TEST(StationMessages, AreClassifiedOnlyWhenTheyMatchExactly)
{
    EXPECT_EQ(classifyStationMessage("OK"), StationMessageKind::Ok);
    EXPECT_EQ(classifyStationMessage("STOP"), StationMessageKind::Stop);
    EXPECT_EQ(classifyStationMessage("STARTED20060811105434"), StationMessageKind::Started);
    EXPECT_EQ(classifyStationMessage("SETUP BEGUN"), StationMessageKind::SetupBegun);
    EXPECT_EQ(classifyStationMessage("SETUP ENDED"), StationMessageKind::SetupEnded);
    EXPECT_EQ(classifyStationMessage("SETUP"), StationMessageKind::Other);
    // Two messages in one read match nothing.
    EXPECT_EQ(classifyStationMessage("STOPOK"), StationMessageKind::Other);
    EXPECT_EQ(classifyStationMessage("OKOK"), StationMessageKind::Other);
    EXPECT_EQ(classifyStationMessage("STARTED2006"), StationMessageKind::Other);
    EXPECT_EQ(classifyStationMessage(""), StationMessageKind::Other);
}

TEST(ServerMessages, KeywordsAreExactAndEverythingElseIsSessionInfo)
{
    EXPECT_EQ(classifyServerMessage("UNLOCK"), ServerMessageKind::Unlock);
    EXPECT_EQ(classifyServerMessage("LOCK"), ServerMessageKind::Lock);
    EXPECT_EQ(classifyServerMessage("QUIT"), ServerMessageKind::Quit);
    EXPECT_EQ(classifyServerMessage("SHUTDOWN"), ServerMessageKind::Shutdown);
    EXPECT_EQ(classifyServerMessage("SERVERDOWN"), ServerMessageKind::ServerDown);
    EXPECT_EQ(kServerDown.size(), 10u);
    EXPECT_EQ(classifyServerMessage(""), ServerMessageKind::Empty);
    EXPECT_EQ(classifyServerMessage("LOCKLOCK"), ServerMessageKind::SessionInfo);
    EXPECT_EQ(classifyServerMessage("unlock"), ServerMessageKind::SessionInfo);
}

TEST(SessionInfoMessage, IsBuiltByteForByteFromTheRecord)
{
    std::time_t start = localTime(2006, 8, 11, 10, 54, 34);
    auto record = SessionInfoRecord::fromFigures("01:05:12", "2.50", "1.00", "3.50", start);
    EXPECT_EQ(record.duration, "01:05");
    EXPECT_EQ(record.stamp, "20060811105434");

    std::string message = buildSessionInfoMessage(record);
    EXPECT_EQ(message, "01:05" + kEuro + "2.50," + kEuro + "1.00," + kEuro + "3.50,20060811105434");
    EXPECT_EQ(message.size(), 37u);
}

TEST(SessionInfoMessage, FieldsAreCutToTheirSlotsAndTheLongestIs52Bytes)
{
    auto record = SessionInfoRecord::fromFigures("123:45:00", "1234567890123", "99999999.99", "123456789012",
                                                 localTime(2006, 8, 11, 10, 54, 34));
    EXPECT_EQ(record.duration, "123:4");
    EXPECT_EQ(record.accessCost, "123456789");
    EXPECT_EQ(record.extras, "99999999.");
    EXPECT_EQ(record.total, "123456789");
    std::string message = buildSessionInfoMessage(record);
    EXPECT_EQ(message.size(), 52u);

    // A record filled by hand is cut the same way; text after a NUL is not part of a slot.
    SessionInfoRecord loose{"01:05:59", "1,5", "123456789012", "7", "2006081110543499"};
    EXPECT_EQ(buildSessionInfoMessage(loose),
              "01:05" + kEuro + "1," + kEuro + "123456789," + kEuro + "7,20060811105434");
    auto nul = SessionInfoRecord::fromFigures(std::string("01\0:05", 6), "2.50", "", "2.50", 0);
    EXPECT_EQ(nul.duration, "01");

    // A short duration keeps the five-character split aligned; what is no
    // duration ("?" before the first tick) goes as spaces.
    SessionInfoRecord shortDuration{"?", "0.00", "0.00", "0.00", "20060811105434"};
    auto parsed = parseSessionInfoMessage(buildSessionInfoMessage(shortDuration));
    EXPECT_EQ(parsed.duration, "     ");
    EXPECT_EQ(parsed.accessCost, kEuro + "0.00");
    EXPECT_TRUE(parsed.wellFormed);
}

TEST(SessionInfoMessage, IsSplitTheWayTheStationReadsIt)
{
    auto info = parseSessionInfoMessage("01:05" + kEuro + "2.50," + kEuro + "1.00," + kEuro + "3.50,20060811105434");
    EXPECT_EQ(info.duration, "01:05");
    EXPECT_EQ(info.accessCost, kEuro + "2.50");
    EXPECT_EQ(info.extras, kEuro + "1.00");
    EXPECT_EQ(info.total, kEuro + "3.50");
    EXPECT_EQ(info.stamp, "20060811105434");
    EXPECT_TRUE(info.wellFormed);

    SessionInfoRecord record{"10:00", "123456789", "0.00", "123456789", "20060811105434"};
    auto back = parseSessionInfoMessage(buildSessionInfoMessage(record));
    EXPECT_EQ(back.accessCost, kEuro + "123456789");
    EXPECT_EQ(back.total, kEuro + "123456789");
    EXPECT_TRUE(back.wellFormed);
}

TEST(SessionInfoMessage, ShortCommalessAndOversizedTextIsSplitSafely)
{
    auto empty = parseSessionInfoMessage("");
    EXPECT_EQ(empty, SessionInfo{});

    auto tiny = parseSessionInfoMessage("01:");
    EXPECT_EQ(tiny.duration, "01:");
    EXPECT_TRUE(tiny.accessCost.empty());
    EXPECT_FALSE(tiny.wellFormed);

    auto noCommas = parseSessionInfoMessage("01:05" + kEuro + "2.50" + std::string(40, 'x'));
    EXPECT_EQ(noCommas.accessCost, kEuro + "2.50xxxxx");
    EXPECT_TRUE(noCommas.extras.empty());
    EXPECT_TRUE(noCommas.stamp.empty());
    EXPECT_FALSE(noCommas.wellFormed);

    auto oneComma = parseSessionInfoMessage("01:05" + kEuro + "2.50,");
    EXPECT_EQ(oneComma.accessCost, kEuro + "2.50");
    EXPECT_TRUE(oneComma.extras.empty());
    EXPECT_FALSE(oneComma.wellFormed);

    auto commasOnly = parseSessionInfoMessage(",,,,,,,,,");
    EXPECT_EQ(commasOnly.duration, ",,,,,");
    EXPECT_FALSE(commasOnly.wellFormed);

    auto longStamp =
        parseSessionInfoMessage("01:05" + kEuro + "1," + kEuro + "2," + kEuro + "3," + std::string(300, '7'));
    EXPECT_EQ(longStamp.stamp, std::string(14, '7'));
    EXPECT_FALSE(longStamp.wellFormed);

    auto badStamp = parseSessionInfoMessage("01:05" + kEuro + "1," + kEuro + "2," + kEuro + "3,20061311105434");
    EXPECT_EQ(badStamp.stamp, "20061311105434");
    EXPECT_FALSE(badStamp.wellFormed);

    auto noCurrency = parseSessionInfoMessage("01:052.50,1.00,3.50,20060811105434");
    EXPECT_EQ(noCurrency.accessCost, "2.50");
    EXPECT_FALSE(noCurrency.wellFormed);
}

TEST(LinkBits, CommandsAndEventsCarryPendingAndTheClearingRuleKeepsItHonest)
{
    for (auto flag : {CMD_UNLOCK, CMD_LOCK, CMD_SESSION_INFO, CMD_QUIT, CMD_SHUTDOWN, EVT_CONNECTED, EVT_DISCONNECTED,
                      EVT_STOPPED, EVT_STARTED})
        EXPECT_TRUE(hasFlags(flag, LINK_PENDING));

    // The last flag goes: the word falls back to its surviving bits.
    EXPECT_EQ(clearFlags(LINK_CONNECTED | LINK_SESSION | CMD_LOCK, CMD_LOCK), LINK_CONNECTED | LINK_SESSION);
    // Another flag stays: LINK_PENDING comes back.
    EXPECT_EQ(clearFlags(LINK_CONNECTED | CMD_LOCK | CMD_SESSION_INFO, CMD_LOCK), LINK_CONNECTED | CMD_SESSION_INFO);
    // Top bits survive, a stray bit above 0xFFFF keeps LINK_PENDING.
    EXPECT_EQ(clearFlags(0xC000u | EVT_STARTED, EVT_STARTED), 0xC000u);
    EXPECT_EQ(clearFlags(0x10000u | EVT_STARTED, EVT_STARTED), 0x10000u | LINK_PENDING);

    // The station thread's variant: events alone do not keep LINK_PENDING.
    EXPECT_EQ(clearCommandFlags(CMD_UNLOCK | EVT_CONNECTED, CMD_UNLOCK), 0x0080u);
    EXPECT_EQ(clearCommandFlags(CMD_UNLOCK | CMD_QUIT, CMD_UNLOCK), CMD_QUIT);
}

// The typed words keep the layout: the console's passes over its events, and
// taking back a command, leave exactly the bits the clearing rule leaves.
TEST(StationWords, ThePollsPassesAndWithdrawnCommandsLeaveTheRuleBits)
{
    MailboxWord word(LINK_CONNECTED | LINK_SESSION | EVT_STOPPED | EVT_DISCONNECTED | CMD_LOCK);
    EXPECT_EQ(word.events(), Event::Stopped | Event::Disconnected);
    // Another pass is due while events remain.
    EXPECT_TRUE(word.takeHandled(Event::Stopped));
    EXPECT_EQ(word.bits(), LINK_CONNECTED | LINK_SESSION | EVT_DISCONNECTED | CMD_LOCK);
    // The last event gone, no pass is due; the waiting command keeps its flag
    // (the relay reads flags, not LINK_PENDING).
    EXPECT_FALSE(word.takeHandled(Event::Disconnected));
    EXPECT_EQ(word.bits(), LINK_CONNECTED | LINK_SESSION | flagOf(CMD_LOCK));
    // A pass that handled nothing leaves the word alone.
    MailboxWord unknown(EVT_STARTED);
    EXPECT_FALSE(unknown.takeHandled({}));
    EXPECT_EQ(unknown.bits(), EVT_STARTED);

    word.post(Command::Unlock);
    word.withdraw(Command::Lock | Command::Unlock);
    EXPECT_EQ(word.bits(), LINK_CONNECTED | LINK_SESSION);
    EXPECT_TRUE(word.takeEvents().empty());

    LinkWord link(CMD_QUIT | CMD_UNLOCK | EVT_STARTED);
    link.withdraw(Command::Quit);
    link.clearEvents();
    EXPECT_EQ(link.bits(), CMD_UNLOCK);
    link.withdraw(Command::Unlock);
    EXPECT_FALSE(link.pending());
}
