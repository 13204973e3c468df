#include "link/receive_buffer.h"

#include <utility>

namespace stationlink {

void ReceiveBuffer::append(std::string_view bytes)
{
    if (bytes.empty())
        return;
    received_ += bytes;
    lastByte_ = std::chrono::steady_clock::now();
}

std::optional<std::string> ReceiveBuffer::takeStalled(std::chrono::milliseconds patience)
{
    if (auto piece = take())
        return piece;
    if (received_.empty() || std::chrono::steady_clock::now() - lastByte_ < patience)
        return std::nullopt;
    return std::exchange(received_, {});
}

std::optional<std::string> ReceiveBuffer::take()
{
    Frame frame = framer_(received_);
    if (frame.kind == Frame::Kind::Partial)
        return std::nullopt;
    std::string piece = received_.substr(0, frame.length);
    received_.erase(0, frame.length);
    return piece;
}

bool ReceiveBuffer::holdsPiece() const { return framer_(received_).kind != Frame::Kind::Partial; }

} // namespace stationlink
