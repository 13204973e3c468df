#include "link/station_words.h"
#include "relay.h"

#include <gtest/gtest.h>

using namespace stationlink;
using namespace stationlink::layout;

TEST(RelayCommands, MovesCommandsAndLeavesTheMailboxClean)
{
    MailboxWord mailbox(LINK_CONNECTED | LINK_SESSION | CMD_SESSION_INFO | CMD_QUIT);
    LinkWord link(0);
    EXPECT_TRUE(relayCommands(mailbox, link));
    EXPECT_EQ(link.bits(), CMD_SESSION_INFO | CMD_QUIT);
    EXPECT_EQ(mailbox.bits(), LINK_CONNECTED | LINK_SESSION);

    MailboxWord empty(LINK_CONNECTED);
    EXPECT_FALSE(relayCommands(empty, link));
    EXPECT_EQ(empty.bits(), LINK_CONNECTED);
}

TEST(RelayCommands, UnlockWaitsWhileAStartedIsUnreportedAndLockWhileAStopped)
{
    MailboxWord mailbox(LINK_STARTING | CMD_UNLOCK | CMD_SESSION_INFO);
    LinkWord link(EVT_STARTED);
    EXPECT_TRUE(relayCommands(mailbox, link));
    EXPECT_EQ(link.bits(), EVT_STARTED | CMD_SESSION_INFO);
    // The UNLOCK stays, with LINK_PENDING, until the console posts again.
    EXPECT_EQ(mailbox.bits(), LINK_STARTING | CMD_UNLOCK);

    MailboxWord lockMailbox(CMD_LOCK);
    LinkWord stoppedLink(EVT_STOPPED);
    EXPECT_FALSE(relayCommands(lockMailbox, stoppedLink));
    EXPECT_EQ(lockMailbox.bits(), CMD_LOCK);

    link = LinkWord(0);
    EXPECT_TRUE(relayCommands(mailbox, link));
    EXPECT_EQ(link.bits(), CMD_UNLOCK);
    EXPECT_EQ(mailbox.bits(), LINK_STARTING);
}

// Posted one after the other, the later of UNLOCK and LOCK takes the earlier
// back while it waits unsent; posted together, both go.
TEST(RelayCommands, TheLaterOfUnlockAndLockTakesBackTheEarlierStillUnsent)
{
    MailboxWord mailbox(CMD_UNLOCK);
    LinkWord link(CMD_LOCK | CMD_SESSION_INFO);
    EXPECT_TRUE(relayCommands(mailbox, link));
    EXPECT_EQ(link.bits(), CMD_UNLOCK | CMD_SESSION_INFO);

    mailbox = MailboxWord(CMD_LOCK);
    EXPECT_TRUE(relayCommands(mailbox, link));
    EXPECT_EQ(link.bits(), CMD_LOCK | CMD_SESSION_INFO);

    mailbox = MailboxWord(CMD_UNLOCK | CMD_LOCK);
    link = LinkWord(0);
    EXPECT_TRUE(relayCommands(mailbox, link));
    EXPECT_EQ(link.bits(), CMD_UNLOCK | CMD_LOCK);
}

TEST(RelayEvents, StartedWinsOverStoppedAndConnectedOverDisconnected)
{
    LinkWord link(EVT_STARTED | EVT_STOPPED | EVT_CONNECTED | EVT_DISCONNECTED);
    MailboxWord mailbox(LINK_CONNECTED);
    EXPECT_TRUE(relayEvents(link, mailbox));
    EXPECT_EQ(mailbox.bits(), LINK_CONNECTED | EVT_STARTED | EVT_CONNECTED);
    EXPECT_EQ(link.bits(), 0u);
}

TEST(RelayEvents, CommandsWaitingInTheLinkWordSurvive)
{
    LinkWord link(CMD_LOCK | EVT_STOPPED);
    MailboxWord mailbox(0);
    EXPECT_TRUE(relayEvents(link, mailbox));
    EXPECT_EQ(link.bits(), CMD_LOCK);
    EXPECT_EQ(mailbox.bits(), EVT_STOPPED);

    LinkWord quiet(0xC000);
    EXPECT_FALSE(relayEvents(quiet, mailbox));
    EXPECT_EQ(quiet.bits(), 0xC000u);
}

TEST(RelayEvents, DisconnectedWithdrawsAConnectedNotYetTaken)
{
    LinkWord link(EVT_DISCONNECTED);
    MailboxWord mailbox(LINK_SESSION | EVT_CONNECTED | EVT_STOPPED);
    EXPECT_TRUE(relayEvents(link, mailbox));
    EXPECT_EQ(mailbox.bits(), LINK_SESSION | EVT_DISCONNECTED | EVT_STOPPED);

    // The other way round both stay: the console handles DISCONNECTED before CONNECTED.
    LinkWord again(EVT_CONNECTED);
    EXPECT_TRUE(relayEvents(again, mailbox));
    EXPECT_TRUE(mailbox.holds(Event::Connected | Event::Disconnected));
}

#include "link/link_settings.h"

TEST(ListenOption, TakesAnAddressAPortOrBoth)
{
    auto both = parseListenOption("127.0.0.1:32001");
    ASSERT_TRUE(both);
    EXPECT_EQ(both->listenAddress, platform::Ipv4Address::loopback());
    EXPECT_EQ(both->port, 32001);

    auto portOnly = parseListenOption(":40000");
    ASSERT_TRUE(portOnly);
    EXPECT_TRUE(portOnly->listenAddress.isAny());
    EXPECT_EQ(portOnly->port, 40000);

    auto addressOnly = parseListenOption("10.0.0.1");
    ASSERT_TRUE(addressOnly);
    EXPECT_EQ(addressOnly->port, kMainPort);

    for (auto bad : {"", ":", "10.0.0.1:", "10.0.0:1", "host:1", ":0", ":70000", "10.0.0.1:1:2"})
        EXPECT_FALSE(parseListenOption(bad)) << bad;
}
