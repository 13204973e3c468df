#include "link/cafe_key.h"
#include "link/channel.h"

#include "platform/event.h"

#include <gtest/gtest.h>

#include <sys/socket.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

using namespace stationlink;
using namespace std::chrono_literals;
using platform::Ipv4Address;
using platform::ReadResult;
using platform::TcpSocket;
using Handshake = Channel::Handshake;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kPatience = 5s;

CafeKey freshKey()
{
    auto key = CafeKey::generate();
    EXPECT_TRUE(key.has_value());
    return key ? *key : *CafeKey::fromCode("00000-00000-00000-00000-00000");
}

// Passes bytes between a client and the server, and can flip one bit of what
// goes to the server.
struct Relay {
    TcpSocket fromClient;
    TcpSocket toServer;
    std::optional<std::size_t> damageAt; // in the next bytes from the client

    void pump()
    {
        for (ReadResult r = fromClient.read(); r.hasData(); r = fromClient.read()) {
            if (damageAt && *damageAt < r.data.size())
                r.data[*std::exchange(damageAt, std::nullopt)] ^= 0x01;
            EXPECT_TRUE(toServer.send(r.data));
        }
        for (ReadResult r = toServer.read(); r.hasData(); r = toServer.read())
            EXPECT_TRUE(fromClient.send(r.data));
    }
};

struct Received {
    std::string data;
    ReadResult::Kind last = ReadResult::Kind::WouldBlock;
};

// Reads until `size` bytes came, the channel ended or broke, or `patience` ran out.
Received receive(Channel& channel, std::size_t size, Relay* relay = nullptr, Clock::duration patience = kPatience)
{
    Received received;
    for (auto deadline = Clock::now() + patience; received.data.size() < size && Clock::now() < deadline;) {
        if (relay)
            relay->pump();
        if (!channel.hasBufferedData())
            (void)channel.socket().waitReadable(relay ? 1ms : 10ms);
        ReadResult r = channel.read();
        received.last = r.kind;
        received.data += r.data;
        if (r.kind != ReadResult::Kind::Data && r.kind != ReadResult::Kind::WouldBlock)
            break;
    }
    return received;
}

struct Outcome {
    Handshake server = Handshake::Pending;
    Handshake client = Handshake::Pending;
    bool pending() const { return server == Handshake::Pending || client == Handshake::Pending; }
};

// Steps both handshakes in this thread until neither is Pending.
Outcome shakeHands(Channel& server, Channel& client, Relay* relay = nullptr)
{
    Outcome o;
    for (auto deadline = Clock::now() + kPatience; o.pending() && Clock::now() < deadline;) {
        std::vector<const TcpSocket*> waiting;
        if (o.client == Handshake::Pending && (o.client = client.continueHandshake()) == Handshake::Pending)
            waiting.push_back(&client.socket());
        if (relay)
            relay->pump();
        if (o.server == Handshake::Pending && (o.server = server.continueHandshake()) == Handshake::Pending)
            waiting.push_back(&server.socket());
        if (relay) {
            relay->pump();
            waiting.insert(waiting.end(), {&relay->fromClient, &relay->toServer});
        }
        if (o.pending())
            (void)platform::waitAny({}, waiting, 10ms);
    }
    return o;
}

class ChannelTest : public ::testing::Test {
protected:
    struct Sockets {
        TcpSocket server;
        TcpSocket client;
    };
    // A fresh loopback connection, both ends non-blocking.
    static Sockets connectTo(TcpSocket& listener)
    {
        Sockets s{{}, TcpSocket::create().value_or(TcpSocket{})};
        (void)s.client.connect(Ipv4Address::loopback(), listener.localPort().value_or(0));
        EXPECT_TRUE(s.client.waitConnected(kPatience) && listener.waitReadable(kPatience));
        s.server = listener.accept().value_or(TcpSocket{});
        return s;
    }
    Sockets connect() { return connectTo(listener); }

    struct Pair {
        Channel server;
        Channel client;
    };
    Pair securedPair(const CafeKey& key)
    {
        Sockets s = connect();
        Pair p{Channel::tlsServer(std::move(s.server), key), Channel::tlsClient(std::move(s.client), key)};
        Outcome o = shakeHands(p.server, p.client);
        EXPECT_EQ(o.server, Handshake::Done);
        EXPECT_EQ(o.client, Handshake::Done);
        return p;
    }

    TcpSocket listener = TcpSocket::listenOn(Ipv4Address::loopback(), 0, 5).value_or(TcpSocket{});
};

using ChannelTls = ChannelTest;
using ChannelOpening = ChannelTest;

// 52 bytes with the currency byte 0x80, as the session info message is at its longest.
const std::string kSessionInfo = "01:05\x80"
                                 "123456.50,\x80"
                                 "000000.00,\x80"
                                 "123456.50,20240102030405";

} // namespace

TEST_F(ChannelTls, SameKeyCarriesMessagesByteExactBothWays)
{
    ASSERT_EQ(kSessionInfo.size(), 52u);
    const auto started = Clock::now();
    auto [server, client] = securedPair(freshKey());
    const std::chrono::duration<double, std::milli> took = Clock::now() - started;
    std::printf("[ handshake ] %.2f ms on loopback, with connect and accept\n", took.count());
    ASSERT_TRUE(server.isSecured() && client.isSecured());
    EXPECT_EQ(server.peerAddress(), Ipv4Address::loopback());
    EXPECT_FALSE(client.socket().waitReadable(20ms)) << "no session tickets or anything else after the handshake";

    std::string everyByte;
    for (int b = 0; b < 255; ++b)
        everyByte += static_cast<char>(b);
    for (const std::string& message : {std::string("OK"), kSessionInfo, everyByte}) {
        ASSERT_TRUE(client.send(message));
        EXPECT_EQ(receive(server, message.size()).data, message);
    }
    // Back to back: in one read or several, but whole and in order.
    std::string all;
    for (const std::string& message : {std::string("UNLOCK"), kSessionInfo, std::string("\x80\x00\xff", 3)}) {
        ASSERT_TRUE(server.send(message));
        all += message;
    }
    EXPECT_EQ(receive(client, all.size()).data, all);
    EXPECT_EQ(client.read().kind, ReadResult::Kind::WouldBlock) << "nothing beyond what was sent";
}

TEST_F(ChannelTls, DifferentKeysFailBothSidesAndCarryNothing)
{
    Sockets s = connect();
    Channel server = Channel::tlsServer(std::move(s.server), freshKey());
    Channel client = Channel::tlsClient(std::move(s.client), freshKey());
    Outcome o = shakeHands(server, client);
    EXPECT_EQ(o.server, Handshake::Failed);
    EXPECT_EQ(o.client, Handshake::Failed);
    EXPECT_EQ(server.continueHandshake(), Handshake::Failed) << "a failure is final";
    EXPECT_EQ(client.send("UNLOCK").error_or(platform::SocketError{}).code, platform::kSocketNotConnected);
    EXPECT_EQ(receive(server, 1, nullptr, 200ms).data, "");
}

// A station that closes, with close_notify or with a bare TCP close, reads as
// Closed; sending to it afterwards fails without a SIGPIPE ending the program.
TEST_F(ChannelTls, ClosedPeerReadsAsClosed)
{
    const CafeKey key = freshKey();
    Pair told = securedPair(key);
    told.client.close();
    EXPECT_EQ(receive(told.server, 1).last, ReadResult::Kind::Closed);
    EXPECT_EQ(told.server.read().kind, ReadResult::Kind::Closed);
    bool refused = false;
    for (int i = 0; i < 20 && !refused; ++i) {
        refused = !told.server.send("LOCK");
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_TRUE(refused);

    Pair cut = securedPair(key);
    ASSERT_EQ(::shutdown(cut.client.socket().nativeHandle(), SHUT_RDWR), 0);
    EXPECT_EQ(receive(cut.server, 1).last, ReadResult::Kind::Closed);
}

// A record longer than one read stays in TLS after the socket has gone quiet:
// hasBufferedData() keeps the reader from sleeping on it.
TEST_F(ChannelTls, RecordLongerThanOneReadComesOutWhole)
{
    Pair p = securedPair(freshKey());
    std::string longMessage;
    for (int i = 0; i < 600; ++i)
        longMessage += static_cast<char>('a' + i % 26);
    ASSERT_TRUE(p.client.send(longMessage));

    Received first = receive(p.server, 1);
    EXPECT_EQ(first.data.size(), platform::kMaxMessage);
    EXPECT_FALSE(p.server.socket().waitReadable(0ms)) << "the whole record has left the socket";
    while (p.server.hasBufferedData())
        first.data += p.server.read().data;
    EXPECT_EQ(first.data, longMessage);
}

TEST_F(ChannelTls, TamperedRecordIsNotDelivered)
{
    TcpSocket relayListener = TcpSocket::listenOn(Ipv4Address::loopback(), 0, 5).value_or(TcpSocket{});
    Sockets clientSide = connectTo(relayListener);
    Sockets serverSide = connect();
    Relay relay{std::move(clientSide.server), std::move(serverSide.client), std::nullopt};
    const CafeKey key = freshKey();
    Channel server = Channel::tlsServer(std::move(serverSide.server), key);
    Channel client = Channel::tlsClient(std::move(clientSide.client), key);
    Outcome o = shakeHands(server, client, &relay);
    ASSERT_EQ(o.server, Handshake::Done);
    ASSERT_EQ(o.client, Handshake::Done);

    ASSERT_TRUE(client.send("LOCK"));
    EXPECT_EQ(receive(server, 4, &relay).data, "LOCK") << "the relay passes what it does not touch";
    relay.damageAt = 7; // inside the encrypted "UNLOCK", after the 5-byte record header
    ASSERT_TRUE(client.send("UNLOCK"));
    Received damaged = receive(server, 6, &relay);
    EXPECT_FALSE(relay.damageAt) << "the record went through the relay";
    EXPECT_EQ(damaged.data, "");
    EXPECT_EQ(damaged.last, ReadResult::Kind::Error);
    EXPECT_EQ(server.read().kind, ReadResult::Kind::Error) << "a channel that saw a forged record takes nothing more";
}

TEST_F(ChannelOpening, TellsTlsFromPlainWithoutTakingTheByte)
{
    const CafeKey key = freshKey();
    Sockets tls = connect();
    EXPECT_EQ(peekOpening(tls.server), Opening::Nothing);
    Channel client = Channel::tlsClient(std::move(tls.client), key);
    EXPECT_EQ(client.continueHandshake(), Handshake::Pending);
    ASSERT_TRUE(tls.server.waitReadable(kPatience));
    EXPECT_EQ(peekOpening(tls.server), Opening::Tls);
    Channel server = Channel::tlsServer(std::move(tls.server), key);
    EXPECT_EQ(server.read().kind, ReadResult::Kind::Error) << "nothing is read before the handshake";
    Outcome o = shakeHands(server, client);
    EXPECT_EQ(o.server, Handshake::Done) << "the peeked byte was left for the handshake";
    EXPECT_EQ(o.client, Handshake::Done);

    // An old station's first words; a TLS server turns it away.
    Sockets plain = connect();
    ASSERT_TRUE(plain.client.send("CONNECT127.0.0.2"));
    ASSERT_TRUE(plain.server.waitReadable(kPatience));
    EXPECT_EQ(peekOpening(plain.server), Opening::Plain);
    Channel refusing = Channel::tlsServer(std::move(plain.server), key);
    Handshake result = Handshake::Pending;
    for (auto deadline = Clock::now() + kPatience; result == Handshake::Pending && Clock::now() < deadline;) {
        if ((result = refusing.continueHandshake()) == Handshake::Pending)
            (void)refusing.socket().waitReadable(10ms);
    }
    EXPECT_EQ(result, Handshake::Failed);

    Sockets silent = connect();
    silent.client.close();
    ASSERT_TRUE(silent.server.waitReadable(kPatience));
    EXPECT_EQ(peekOpening(silent.server), Opening::Closed);
}
