#pragma once
// The operator password as stored in "BriskoConfig": never the password itself,
// but a slow, salted one-way derivation of it.
//
// Layout of the 1024 bytes:
//   0        4  seed (little-endian), 65536 + 0..32767, the derivation's salt
//   4        n  derived bytes, n = 32 + 4 * password length
//   4 + n    4  check word over seed and derived bytes, never 0
//   8 + n    1  end marker 0xFF
//   9 + n       zeros
// The longest password that fits is 245 characters (n = 1012, 1021 bytes used).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace store {

class PasswordRecord {
public:
    static constexpr std::size_t kSize = 1024;
    static constexpr std::size_t kMaxPasswordLength = 245;
    static constexpr std::uint32_t kSeedBase = 65536;
    static constexpr std::uint32_t kSeedRange = 32768;

    // All zero: the state before a configuration has been read; no password matches it.
    PasswordRecord() = default;
    static PasswordRecord fromBytes(std::span<const std::byte, kSize> bytes);

    // The record for `password` with this seed; nullopt for a password longer than
    // kMaxPasswordLength. Equal password and seed give equal records.
    static std::optional<PasswordRecord> build(std::string_view password, std::uint32_t seed);
    // A new random seed in the record's range.
    static std::uint32_t freshSeed();

    std::uint32_t seed() const;
    // The end marker is found scanning down from the last byte for a 0xFF whose four
    // preceding bytes (the check word) are not 0; the record is valid when such a
    // marker exists and the check word recomputed from the seed and the bytes
    // between the seed and the check word equals the stored one.
    bool isValid() const;
    // Whether `password` gives this very record with this record's seed.
    bool verify(std::string_view password) const;

    const std::array<std::byte, kSize>& bytes() const { return bytes_; }
    friend bool operator==(const PasswordRecord&, const PasswordRecord&) = default;

private:
    std::array<std::byte, kSize> bytes_{};
};

} // namespace store
