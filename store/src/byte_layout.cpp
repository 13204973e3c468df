#include "store/byte_layout.h"

#include <algorithm>
#include <cstring>

namespace store {

namespace {
void putBytes(Bytes record, std::size_t offset, std::size_t size, std::string_view text, std::size_t limit)
{
    auto field = record.subspan(offset, size);
    std::fill(field.begin(), field.end(), std::byte{0});
    std::size_t length = std::min(text.size(), limit);
    std::memcpy(field.data(), text.data(), length);
}
} // namespace

void putText(Bytes record, std::size_t offset, std::size_t size, std::string_view text)
{
    putBytes(record, offset, size, text, size - 1);
}

void putTextUnterminated(Bytes record, std::size_t offset, std::size_t size, std::string_view text)
{
    putBytes(record, offset, size, text, size);
}

std::string getText(ConstBytes record, std::size_t offset, std::size_t size)
{
    auto field = record.subspan(offset, size);
    auto nul = std::find(field.begin(), field.end(), std::byte{0});
    return std::string(reinterpret_cast<const char*>(field.data()), static_cast<std::size_t>(nul - field.begin()));
}

} // namespace store
