// Feeds arbitrary bytes to every parser of the link protocol and to the flag
// relay, and checks what must always hold.

#include "link/link_bits.h"
#include "link/message_framing.h"
#include "link/protocol.h"
#include "link/receive_buffer.h"
#include "relay.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void fuzzMessages(std::string_view text)
{
    using namespace stationlink;
    parseConnect(text);
    parsePortReply(text);
    isOk(text);
    auto started = parseStarted(text);
    check(!started || text.size() == kStarted.size() + kSessionStampLength);
    classifyStationMessage(text);
    classifyServerMessage(text);

    SessionInfo info = parseSessionInfoMessage(text);
    check(info.duration.size() <= 5);
    check(info.accessCost.size() <= 10 && info.extras.size() <= 10 && info.total.size() <= 10);
    check(info.stamp.size() <= kSessionStampLength);
    if (info.wellFormed) {
        // A well-formed message is rebuilt byte for byte from its pieces.
        SessionInfoRecord record{info.duration, info.accessCost.substr(1), info.extras.substr(1), info.total.substr(1),
                                 info.stamp};
        check(buildSessionInfoMessage(record) == text);
    }

    // Whatever the record holds, the message stays within its 52 bytes and splits back.
    std::size_t cut = text.size() / 5;
    SessionInfoRecord loose{std::string(text.substr(0, cut)), std::string(text.substr(cut, cut)),
                            std::string(text.substr(2 * cut, cut)), std::string(text.substr(3 * cut, cut)),
                            std::string(text.substr(4 * cut))};
    std::string message = buildSessionInfoMessage(loose);
    check(message.size() <= 52);
    // It ends where the station looks for its end.
    check(frameServerMessage(message) == Frame{Frame::Kind::Message, message.size()});
    SessionInfo back = parseSessionInfoMessage(message);
    check(back.accessCost.size() >= 1 && back.accessCost[0] == kCurrencyByte);
}

// The whole messages taken from `text` fed in two reads cut at `cut`; every
// byte comes out once, in order, and what waits stays shorter than a message.
std::vector<std::string> framed(stationlink::ReceiveBuffer::Framer framer, std::string_view text, std::size_t cut,
                                std::vector<std::string>& known)
{
    stationlink::ReceiveBuffer buffer(framer);
    std::vector<std::string> pieces;
    std::string out;
    for (std::string_view chunk : {text.substr(0, cut), text.substr(cut)}) {
        buffer.append(chunk);
        while (auto piece = buffer.take()) {
            check(!piece->empty());
            out += *piece;
            auto frame = framer(*piece);
            if (frame.kind == stationlink::Frame::Kind::Message && frame.length == piece->size())
                known.push_back(*piece);
            pieces.push_back(*piece);
        }
        check(buffer.size() < 52);
    }
    auto rest = buffer.takeStalled(std::chrono::milliseconds(0));
    out += rest.value_or("");
    check(out == text);
    return pieces;
}

void fuzzFraming(std::string_view text)
{
    using namespace stationlink;
    for (auto framer : {frameStationMessage, frameServerMessage}) {
        std::vector<std::string> whole, split;
        framed(framer, text, text.size(), whole);
        framed(framer, text, text.size() / 2, split);
        // The station's messages do not depend on how the reads cut the bytes.
        // The console's may after unknown bytes, where a session info message
        // only counts as begun once its currency byte is there.
        check(framer != frameStationMessage || whole == split);
    }
    frameConnect(text, platform::Ipv4Address::loopback());
}

void fuzzWords(const std::uint8_t* data, std::size_t size)
{
    using namespace stationlink;
    using namespace stationlink::layout;
    if (size < 8)
        return;
    std::uint32_t mailbox, link;
    std::memcpy(&mailbox, data, 4);
    std::memcpy(&link, data + 4, 4);

    // Relaying commands never loses or invents one.
    std::uint32_t commandsBefore = (mailbox | link) & kCommandFlags;
    MailboxWord m(mailbox);
    LinkWord l(link);
    relayCommands(m, l);
    check(((m.bits() | l.bits()) & kCommandFlags) == commandsBefore);
    check((m.bits() & kSurvivingBits) == (mailbox & kSurvivingBits));

    // Relaying events leaves no event in the link word and keeps its commands.
    LinkWord l2(link);
    MailboxWord m2(mailbox);
    relayEvents(l2, m2);
    check((l2.bits() & kEventFlags) == 0);
    check((l2.bits() & kCommandFlags) == (link & kCommandFlags));

    // The clearing rule: LINK_PENDING is set exactly when a flag outside the surviving bits remains.
    std::uint32_t cleared = clearFlags(mailbox, link);
    check(((cleared & LINK_PENDING) != 0) == ((cleared & ~(kSurvivingBits | LINK_PENDING)) != 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzMessages(std::string_view(reinterpret_cast<const char*>(data), size));
    fuzzFraming(std::string_view(reinterpret_cast<const char*>(data), size));
    fuzzWords(data, size);
    return 0;
}
