#pragma once
// The cafe's key: 120 random bits that the console and every station share,
// from which the station link's TLS pre-shared key is derived. The owner sees
// it as a code to type at each station: 25 characters in five groups of five
// ("7KQ2M-9XH4T-..."), 24 of them carrying the bits, five to a character, in
// Crockford's base-32 ("0123456789ABCDEFGHJKMNPQRSTVWXYZ": no I, L, O or U),
// and the last a check character that catches any one character typed wrong
// and any two neighbours swapped.
//
// A plain value type: safe from any thread.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace stationlink {

class CafeKey {
public:
    static constexpr std::size_t kBits = 120;
    static constexpr std::size_t kCodeSymbols = 25;
    using Psk = std::array<unsigned char, 32>;

    // A fresh key from the system's random source; nullopt only when that
    // source or the key derivation fails, so that a failure never yields a
    // key anybody could guess.
    static std::optional<CafeKey> generate();

    // The key a person typed: upper or lower case, spaces and '-' anywhere,
    // 'O' read as 0 and 'I' or 'L' as 1. Nullopt when problemWith() finds fault.
    static std::optional<CafeKey> fromCode(std::string_view typed);
    // Nullopt for a code fromCode() takes; otherwise one sentence for the owner.
    static std::optional<std::string> problemWith(std::string_view typed);

    // "XXXXX-XXXXX-XXXXX-XXXXX-XXXXX", upper case.
    std::string code() const;
    // The TLS pre-shared key: HKDF-SHA256 of the 120 bits under a fixed label.
    const Psk& psk() const { return psk_; }

    friend bool operator==(const CafeKey& a, const CafeKey& b) { return a.bits_ == b.bits_; }

private:
    using Bits = std::array<unsigned char, kBits / 8>;
    // Nullopt when the derivation fails.
    static std::optional<CafeKey> fromBits(const Bits& bits);
    CafeKey() = default;

    Bits bits_{};
    Psk psk_{};
};

} // namespace stationlink
