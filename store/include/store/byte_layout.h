#pragma once
// Little-endian integers, IEEE doubles and fixed-size NUL-terminated text fields
// inside a record's bytes. Offsets are checked by the callers' fixed layouts.
// No state: safe from any thread.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace store {

using Bytes = std::span<std::byte>;
using ConstBytes = std::span<const std::byte>;

inline void putU32(Bytes record, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        record[offset + i] = static_cast<std::byte>((value >> (8 * i)) & 0xFFu);
}

inline std::uint32_t getU32(ConstBytes record, std::size_t offset)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::to_integer<std::uint32_t>(record[offset + i]) << (8 * i);
    return value;
}

inline void putI32(Bytes record, std::size_t offset, std::int32_t value)
{
    putU32(record, offset, static_cast<std::uint32_t>(value));
}

inline std::int32_t getI32(ConstBytes record, std::size_t offset)
{
    return static_cast<std::int32_t>(getU32(record, offset));
}

inline void putDouble(Bytes record, std::size_t offset, double value)
{
    auto bits = std::bit_cast<std::uint64_t>(value);
    putU32(record, offset, static_cast<std::uint32_t>(bits));
    putU32(record, offset + 4, static_cast<std::uint32_t>(bits >> 32));
}

inline double getDouble(ConstBytes record, std::size_t offset)
{
    std::uint64_t bits = getU32(record, offset) | (std::uint64_t{getU32(record, offset + 4)} << 32);
    return std::bit_cast<double>(bits);
}

// Writes text into a field of `size` bytes: at most size - 1 characters, then NUL,
// then zeros to the end of the field.
void putText(Bytes record, std::size_t offset, std::size_t size, std::string_view text);

// Like putText, but a text of `size` characters or more fills the whole field with
// no terminator (the receipt lines of the configuration file).
void putTextUnterminated(Bytes record, std::size_t offset, std::size_t size, std::string_view text);

// The text up to the first NUL of the field, or the whole field when it has none.
std::string getText(ConstBytes record, std::size_t offset, std::size_t size);

} // namespace store
