#include "link/message_framing.h"
#include "link/protocol.h"
#include "link/receive_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace stationlink;
using namespace std::chrono_literals;

namespace {

using Pieces = std::vector<std::string>;

const std::string kEuro(1, '\x80');
const std::string kSessionInfo = "01:05" + kEuro + "2.50," + kEuro + "1.00," + kEuro + "3.50,20060811105434";
const std::string kLongestInfo =
    "123:4" + kEuro + "123456789," + kEuro + "99999999.," + kEuro + "123456789,20060811105434";

std::string joined(const Pieces& messages)
{
    std::string all;
    for (const auto& m : messages)
        all += m;
    return all;
}

// Feeds `chunks` one after the other, taking every piece after each.
Pieces feed(ReceiveBuffer::Framer framer, const Pieces& chunks, std::size_t* left = nullptr)
{
    ReceiveBuffer buffer(framer);
    Pieces pieces;
    for (const auto& chunk : chunks) {
        buffer.append(chunk);
        while (auto piece = buffer.take())
            pieces.push_back(*piece);
    }
    if (left)
        *left = buffer.size();
    return pieces;
}

// The messages come out the same whether they arrive together, cut in two at
// any byte, or one byte per read.
void expectEverySplitGives(ReceiveBuffer::Framer framer, const Pieces& messages)
{
    std::string all = joined(messages);
    EXPECT_EQ(feed(framer, {all}), messages) << "in one read";
    for (std::size_t cut = 1; cut < all.size(); ++cut)
        EXPECT_EQ(feed(framer, {all.substr(0, cut), all.substr(cut)}), messages) << "cut at byte " << cut;
    Pieces bytes;
    for (char c : all)
        bytes.emplace_back(1, c);
    EXPECT_EQ(feed(framer, bytes), messages) << "byte by byte";
}

} // namespace

TEST(ReceiveBuffer, StationMessagesMergedOrSplitAtEveryByte)
{
    expectEverySplitGives(frameStationMessage, {"STOP", "OK"});
    expectEverySplitGives(frameStationMessage, {"OK", "STOP", "STARTED20060811105434", "STOP", "OK"});
    expectEverySplitGives(frameStationMessage, {"SETUP BEGUN", "OK", "SETUP ENDED", "STOP", "SETUP BEGUN"});
    // A stamp that is no time still ends the message where it should.
    expectEverySplitGives(frameStationMessage, {"STARTED20061311105434", "OK"});
}

// The console sends a command and waits for its answer: a command cut at any
// byte is still that command, and one that has come whole is taken before the
// next byte arrives. A read that holds more than one command, or a keyword with
// anything after it, is one text that matches nothing: answered once, obeyed never.
TEST(ReceiveBuffer, AConsoleMessageCountsOnlyWhenItIsAllThatCame)
{
    for (const std::string& message : {std::string("UNLOCK"), std::string("SERVERDOWN"), kSessionInfo, kLongestInfo})
        expectEverySplitGives(frameServerMessage, {message});
    Pieces bytes;
    for (char c : "LOCK" + kSessionInfo + "UNLOCKQUIT")
        bytes.emplace_back(1, c);
    EXPECT_EQ(feed(frameServerMessage, bytes), (Pieces{"LOCK", kSessionInfo, "UNLOCK", "QUIT"}));

    EXPECT_EQ(feed(frameServerMessage, {"UNLOCKLOCK"}), (Pieces{"UNLOCKLOCK"}));
    EXPECT_EQ(feed(frameServerMessage, {"UNLOCKX"}), (Pieces{"UNLOCKX"}));
    EXPECT_EQ(feed(frameServerMessage, {"QUIT" + kSessionInfo}), (Pieces{"QUIT" + kSessionInfo}));
    // Unknown bytes never take the command behind them along.
    EXPECT_EQ(feed(frameServerMessage, {"garbage,,,\x80QUIT"}), (Pieces{"garbage,,,\x80", "QUIT"}));
    EXPECT_EQ(feed(frameServerMessage, {"ge,,,\x80", "QUIT"}), (Pieces{"ge,,,\x80", "QUIT"}));
    // A duration is digits and ":": letters after a digit are no session info.
    EXPECT_EQ(feed(frameServerMessage, {"12:3x" + kEuro + "1.00,"}), (Pieces{"12:3x" + kEuro + "1.00,"}));
}

TEST(ReceiveBuffer, EveryBuiltSessionInfoMessageEndsWhereTheStationLooks)
{
    SessionInfoRecord shortStamp{"01:05", "2.50", "0.00", "2.50", "2006"};
    SessionInfoRecord empty{};
    SessionInfoRecord commas{"1,2,3", "1,5", ",", "", "20060811105434"};
    for (const auto& record : {shortStamp, empty, commas}) {
        std::string message = buildSessionInfoMessage(record);
        EXPECT_EQ(frameServerMessage(message), (Frame{Frame::Kind::Message, message.size()})) << message;
        expectEverySplitGives(frameServerMessage, {message});
    }
    // The stamp that is no stamp is sent as zeros, which the station does not keep.
    std::string message = buildSessionInfoMessage(shortStamp);
    EXPECT_TRUE(message.ends_with(",00000000000000"));
    EXPECT_FALSE(parseSessionInfoMessage(message).wellFormed);
}

TEST(ReceiveBuffer, UnknownBytesComeOutAsOnePieceAndNeverHoldUpWhatFollows)
{
    EXPECT_EQ(feed(frameStationMessage, {"HELLOSTOP"}), (Pieces{"HELLO", "STOP"}));
    EXPECT_EQ(feed(frameStationMessage, {"HELLO", "STOP"}), (Pieces{"HELL", "O", "STOP"}));
    EXPECT_EQ(feed(frameStationMessage, {"STOSTOP"}), (Pieces{"STO", "STOP"}));
    EXPECT_EQ(feed(frameServerMessage, {"xxxxxxxxxxUNLOCK"}), (Pieces{"xxxxxxxxxx", "UNLOCK"}));
    // The tail of unknown text is not kept back as if it began a session info message.
    EXPECT_EQ(feed(frameServerMessage, {std::string(255, 'x')}), (Pieces{std::string(255, 'x')}));

    // However long the garbage, what waits is never more than the longest message.
    std::size_t left = 0;
    auto pieces = feed(frameServerMessage, {std::string(4000, 'x'), "LOCK"}, &left);
    EXPECT_EQ(pieces.back(), "LOCK");
    EXPECT_EQ(left, 0u);
    for (auto framer : {frameServerMessage, frameStationMessage}) {
        for (char fill : {'\x80', ',', '0', 'S', 'O', 'L'}) {
            feed(framer, {std::string(300, fill)}, &left);
            EXPECT_LT(left, kLongestInfo.size()) << int(fill);
        }
    }
}

TEST(ReceiveBuffer, AStalledStartIsTakenAsItStandsOnlyAfterThePatience)
{
    ReceiveBuffer buffer(frameServerMessage);
    buffer.append("LOC");
    EXPECT_FALSE(buffer.holdsPiece());
    EXPECT_FALSE(buffer.takeStalled(1h));
    EXPECT_EQ(buffer.takeStalled(0ms), "LOC");
    EXPECT_EQ(buffer.size(), 0u);

    // A whole message goes at once; the start of another waits its patience.
    buffer.append("QUIT");
    EXPECT_EQ(buffer.takeStalled(1h), "QUIT");
    buffer.append("12");
    EXPECT_FALSE(buffer.takeStalled(1h));
    EXPECT_EQ(buffer.takeStalled(0ms), "12");
    EXPECT_FALSE(buffer.takeStalled(0ms));
}

TEST(ConnectFraming, OnlyTheCallersOwnAddressIsAWholeConnect)
{
    platform::Ipv4Address caller{{127, 0, 0, 2}};
    std::string connect = buildConnect(caller);
    EXPECT_EQ(frameConnect(connect, caller), (Frame{Frame::Kind::Message, connect.size()}));
    for (std::size_t cut = 0; cut < connect.size(); ++cut)
        EXPECT_EQ(frameConnect(connect.substr(0, cut), caller).kind, Frame::Kind::Partial) << cut;

    // Its start waits for the longer address it may become.
    EXPECT_EQ(frameConnect("CONNECT127.0.0.2", {{127, 0, 0, 23}}).kind, Frame::Kind::Partial);
    EXPECT_EQ(frameConnect("CONNECT127.0.0.3", caller).kind, Frame::Kind::Unknown);
    EXPECT_EQ(frameConnect("CONNECT127.0.0.02", caller).kind, Frame::Kind::Unknown);
    EXPECT_EQ(frameConnect("connect127.0.0.2", caller).kind, Frame::Kind::Unknown);
}
