#include "link/link_bits.h"
#include "relay.h"

#include <gtest/gtest.h>

using namespace stationlink;

TEST(RelayCommands, MovesCommandsAndLeavesTheMailboxClean)
{
    std::uint32_t mailbox = LINK_CONNECTED | LINK_SESSION | CMD_SESSION_INFO | CMD_QUIT;
    std::uint32_t link = 0;
    EXPECT_TRUE(relayCommands(mailbox, link));
    EXPECT_EQ(link, CMD_SESSION_INFO | CMD_QUIT);
    EXPECT_EQ(mailbox, LINK_CONNECTED | LINK_SESSION);

    std::uint32_t empty = LINK_CONNECTED;
    EXPECT_FALSE(relayCommands(empty, link));
    EXPECT_EQ(empty, LINK_CONNECTED);
}

TEST(RelayCommands, UnlockWaitsWhileAStartedIsUnreportedAndLockWhileAStopped)
{
    std::uint32_t mailbox = LINK_STARTING | CMD_UNLOCK | CMD_SESSION_INFO;
    std::uint32_t link = EVT_STARTED;
    EXPECT_TRUE(relayCommands(mailbox, link));
    EXPECT_EQ(link, EVT_STARTED | CMD_SESSION_INFO);
    // The UNLOCK stays, with LINK_PENDING, until the console posts again.
    EXPECT_EQ(mailbox, LINK_STARTING | CMD_UNLOCK);

    std::uint32_t lockMailbox = CMD_LOCK;
    std::uint32_t stoppedLink = EVT_STOPPED;
    EXPECT_FALSE(relayCommands(lockMailbox, stoppedLink));
    EXPECT_EQ(lockMailbox, CMD_LOCK);

    link = 0;
    EXPECT_TRUE(relayCommands(mailbox, link));
    EXPECT_EQ(link, CMD_UNLOCK);
    EXPECT_EQ(mailbox, LINK_STARTING);
}

// Posted one after the other, the later of UNLOCK and LOCK takes the earlier
// back while it waits unsent; posted together, both go.
TEST(RelayCommands, TheLaterOfUnlockAndLockTakesBackTheEarlierStillUnsent)
{
    std::uint32_t mailbox = CMD_UNLOCK;
    std::uint32_t link = CMD_LOCK | CMD_SESSION_INFO;
    EXPECT_TRUE(relayCommands(mailbox, link));
    EXPECT_EQ(link, CMD_UNLOCK | CMD_SESSION_INFO);

    mailbox = CMD_LOCK;
    EXPECT_TRUE(relayCommands(mailbox, link));
    EXPECT_EQ(link, CMD_LOCK | CMD_SESSION_INFO);

    mailbox = CMD_UNLOCK | CMD_LOCK;
    link = 0;
    EXPECT_TRUE(relayCommands(mailbox, link));
    EXPECT_EQ(link, CMD_UNLOCK | CMD_LOCK);
}

TEST(RelayEvents, StartedWinsOverStoppedAndConnectedOverDisconnected)
{
    std::uint32_t link = EVT_STARTED | EVT_STOPPED | EVT_CONNECTED | EVT_DISCONNECTED;
    std::uint32_t mailbox = LINK_CONNECTED;
    EXPECT_TRUE(relayEvents(link, mailbox));
    EXPECT_EQ(mailbox, LINK_CONNECTED | EVT_STARTED | EVT_CONNECTED);
    EXPECT_EQ(link, 0u);
}

TEST(RelayEvents, CommandsWaitingInTheLinkWordSurvive)
{
    std::uint32_t link = CMD_LOCK | EVT_STOPPED;
    std::uint32_t mailbox = 0;
    EXPECT_TRUE(relayEvents(link, mailbox));
    EXPECT_EQ(link, CMD_LOCK);
    EXPECT_EQ(mailbox, EVT_STOPPED);

    std::uint32_t quiet = 0xC000;
    EXPECT_FALSE(relayEvents(quiet, mailbox));
    EXPECT_EQ(quiet, 0xC000u);
}

TEST(RelayEvents, DisconnectedWithdrawsAConnectedNotYetTaken)
{
    std::uint32_t link = EVT_DISCONNECTED;
    std::uint32_t mailbox = LINK_SESSION | EVT_CONNECTED | EVT_STOPPED;
    EXPECT_TRUE(relayEvents(link, mailbox));
    EXPECT_EQ(mailbox, LINK_SESSION | EVT_DISCONNECTED | EVT_STOPPED);

    // The other way round both stay: the console handles DISCONNECTED before CONNECTED.
    std::uint32_t again = EVT_CONNECTED;
    EXPECT_TRUE(relayEvents(again, mailbox));
    EXPECT_TRUE(hasFlags(mailbox, EVT_CONNECTED | EVT_DISCONNECTED));
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
