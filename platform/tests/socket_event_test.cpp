#include "platform/event.h"
#include "platform/tcp_socket.h"

#include <gtest/gtest.h>

#include <thread>

using namespace platform;
using namespace std::chrono_literals;

TEST(Ipv4AddressTest, ParsesOnlyDottedQuads)
{
    EXPECT_EQ(Ipv4Address::parse("10.0.0.7")->octets, (std::array<std::uint8_t, 4>{10, 0, 0, 7}));
    EXPECT_FALSE(Ipv4Address::parse("10.0.0"));
    EXPECT_FALSE(Ipv4Address::parse("10.0.0.256"));
    EXPECT_FALSE(Ipv4Address::parse("10.0.0.7x"));
    EXPECT_FALSE(Ipv4Address::parse(""));
    EXPECT_EQ(Ipv4Address({192, 168, 0, 10}).toString(), "192.168.0.10");
    EXPECT_TRUE(Ipv4Address({192, 168, 0, 10}).hasZeroOctet());
}

TEST(ManualResetEventTest, StaysSetUntilResetAndWakesWaitAny)
{
    ManualResetEvent e;
    EXPECT_FALSE(e.isSet());
    e.set();
    e.set();
    EXPECT_TRUE(e.isSet());
    EXPECT_TRUE(e.isSet());
    e.reset();
    EXPECT_FALSE(e.wait(1ms));

    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        e.set();
    });
    const ManualResetEvent* events[] = {&e};
    EXPECT_TRUE(waitAny(events, {}, 5000ms));
    setter.join();
}

TEST(TcpSocketTest, LoopbackRoundTripFromABoundSourceAddress)
{
    auto listening = TcpSocket::listenOn(Ipv4Address::loopback(), 0, 5);
    ASSERT_TRUE(listening) << listening.error().code;
    TcpSocket listener = std::move(*listening);
    ASSERT_TRUE(listener.isValid());
    auto port = listener.localPort();
    ASSERT_TRUE(port);
    EXPECT_EQ(listener.accept().error_or(SocketError{}).code, kSocketWouldBlock) << "nobody calls yet";

    auto created = TcpSocket::create();
    ASSERT_TRUE(created);
    TcpSocket client = std::move(*created);
    ASSERT_TRUE(client.bind({{127, 0, 0, 5}}, 0));
    auto started = client.connect(Ipv4Address::loopback(), *port);
    ASSERT_NE(started.kind, ConnectResult::Kind::Error);
    ASSERT_TRUE(client.waitConnected(1000ms));

    ASSERT_TRUE(listener.waitReadable(1000ms));
    Ipv4Address peer;
    auto accepted = listener.accept(&peer);
    ASSERT_TRUE(accepted);
    TcpSocket server = std::move(*accepted);
    ASSERT_TRUE(server.isValid());
    EXPECT_EQ(peer, Ipv4Address({127, 0, 0, 5}));

    EXPECT_EQ(server.read().kind, ReadResult::Kind::WouldBlock);
    ASSERT_TRUE(client.send(std::string(300, 'x')));
    ASSERT_TRUE(server.waitReadable(1000ms));
    auto r = server.read();
    ASSERT_TRUE(r.hasData());
    EXPECT_LE(r.data.size(), kMaxMessage);

    client.close();
    // Drain what is left, then the orderly close reads as Closed.
    ReadResult last;
    for (int i = 0; i < 10; ++i) {
        server.waitReadable(1000ms);
        last = server.read();
        if (last.kind != ReadResult::Kind::Data)
            break;
    }
    EXPECT_EQ(last.kind, ReadResult::Kind::Closed);
    EXPECT_EQ(client.send("late").error_or(SocketError{}).code, kSocketNotSocket);
}

// The reason a socket call failed travels in its result, as the Windows
// Sockets number that logs print.
TEST(TcpSocketTest, ListeningOnAPortInUseFailsWithItsReason)
{
    auto first = TcpSocket::listenOn(Ipv4Address::loopback(), 0, 1);
    ASSERT_TRUE(first);
    const auto port = first->localPort();
    ASSERT_TRUE(port);
    auto second = TcpSocket::listenOn(Ipv4Address::loopback(), *port, 1);
    ASSERT_FALSE(second);
    EXPECT_EQ(second.error().code, kSocketAddressInUse);

    auto other = TcpSocket::create().value_or(TcpSocket{});
    ASSERT_TRUE(other.isValid());
    EXPECT_EQ(other.bind(Ipv4Address::loopback(), *port).error_or(SocketError{}).code, kSocketAddressInUse);
}

TEST(TcpSocketTest, ConnectToAClosedPortFails)
{
    auto probe = TcpSocket::listenOn(Ipv4Address::loopback(), 0, 1).value_or(TcpSocket{});
    auto port = *probe.localPort();
    probe.close();
    auto client = TcpSocket::create().value_or(TcpSocket{});
    auto started = client.connect(Ipv4Address::loopback(), port);
    if (started.kind == ConnectResult::Kind::WouldBlock) {
        EXPECT_EQ(client.waitConnected(1000ms).error_or(SocketError{}).code, kSocketConnectionRefused);
    } else {
        EXPECT_EQ(started.kind, ConnectResult::Kind::Error);
    }
}
