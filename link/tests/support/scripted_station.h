#pragma once
// A station as the link sees it: raw sockets bound to the station's own
// loopback address, driven step by step by a test (or by the script of a
// customer who says what they like from the station's address).

#include "link/cafe_key.h"
#include "link/channel.h"
#include "link/protocol.h"
#include "platform/tcp_socket.h"

#include <chrono>
#include <optional>
#include <string>

namespace stationlink::test {

using namespace std::chrono_literals;

inline constexpr std::chrono::milliseconds kPatience = 5000ms;

class ScriptedStation {
public:
    // A station speaking the original handshake, or, given a key, TLS with it.
    ScriptedStation(platform::Ipv4Address own, std::uint16_t mainPort, std::optional<CafeKey> key = std::nullopt)
        : own_(own), mainPort_(mainPort), key_(key)
    {
    }

    platform::Ipv4Address address() const { return own_; }

    // Opens a connection from the station's address to `port` on 127.0.0.1,
    // with its TLS handshake done when the station has a key; an invalid
    // channel when the connection or the handshake failed.
    Channel dial(std::uint16_t port) const
    {
        auto socket = platform::TcpSocket::create().value_or(platform::TcpSocket{});
        if (!socket.bind(own_, 0))
            return {};
        auto started = socket.connect(platform::Ipv4Address::loopback(), port);
        if (started.kind == platform::ConnectResult::Kind::Error)
            return {};
        if (started.kind == platform::ConnectResult::Kind::WouldBlock && !socket.waitConnected(kPatience))
            return {};
        if (!key_)
            return Channel::plain(std::move(socket));
        Channel channel = Channel::tlsClient(std::move(socket), *key_);
        for (auto deadline = std::chrono::steady_clock::now() + kPatience;
             std::chrono::steady_clock::now() < deadline;) {
            switch (channel.continueHandshake()) {
            case Channel::Handshake::Done:
                return channel;
            case Channel::Handshake::Failed:
                return {};
            case Channel::Handshake::Pending:
                channel.socket().waitReadable(10ms);
                break;
            }
        }
        return {};
    }

    // Waits for one message; nullopt when the peer closed or nothing came in time.
    static std::optional<std::string> receive(Channel& channel, std::chrono::milliseconds patience = kPatience)
    {
        auto deadline = std::chrono::steady_clock::now() + patience;
        while (std::chrono::steady_clock::now() < deadline) {
            auto r = channel.read();
            if (r.kind == platform::ReadResult::Kind::Data)
                return r.data;
            if (r.kind != platform::ReadResult::Kind::WouldBlock)
                return std::nullopt;
            if (!channel.hasBufferedData())
                channel.socket().waitReadable(10ms);
        }
        return std::nullopt;
    }

    // True when the peer closes the connection (after any messages still in flight).
    static bool closedByPeer(Channel& channel, std::chrono::milliseconds patience = kPatience)
    {
        auto deadline = std::chrono::steady_clock::now() + patience;
        while (std::chrono::steady_clock::now() < deadline) {
            auto r = channel.read();
            if (r.kind == platform::ReadResult::Kind::Closed || r.kind == platform::ReadResult::Kind::Error)
                return true;
            if (r.kind == platform::ReadResult::Kind::WouldBlock && !channel.hasBufferedData())
                channel.socket().waitReadable(10ms);
        }
        return false;
    }

    // Main-port handshake: sends `connectText` (CONNECT + own address by
    // default), reads the port, answers `answer`, waits for the server to
    // close. The port, or nullopt when the server closed without a reply.
    std::optional<std::uint16_t> handshake(const std::string& answer = "OK",
                                           const std::optional<std::string>& connectText = std::nullopt)
    {
        auto socket = dial(mainPort_);
        if (!socket.isValid() || !socket.send(connectText.value_or(buildConnect(own_))))
            return std::nullopt;
        auto reply = receive(socket);
        if (!reply)
            return std::nullopt;
        socket.send(answer);
        closedByPeer(socket);
        return parsePortReply(*reply);
    }

    // Handshake and connect to the station port; the connection stays in this object.
    bool attach()
    {
        auto port = handshake();
        if (!port)
            return false;
        connection = dial(*port);
        return connection.isValid();
    }

    std::optional<std::string> receive() { return receive(connection); }
    bool send(std::string_view message) { return connection.send(message).has_value(); }
    // Receives one command and answers it.
    std::optional<std::string> answer(std::string_view reply = kOk)
    {
        auto message = receive();
        if (message)
            send(reply);
        return message;
    }

    Channel connection;

private:
    platform::Ipv4Address own_;
    std::uint16_t mainPort_;
    std::optional<CafeKey> key_;
};

} // namespace stationlink::test
