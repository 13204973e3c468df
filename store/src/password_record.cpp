#include "store/password_record.h"

#include "store/byte_layout.h"

#include <openssl/evp.h>
#include <openssl/sha.h>

#include <algorithm>
#include <random>
#include <vector>

namespace store {

namespace {

// PBKDF2-HMAC-SHA256 rounds: one guess costs a few milliseconds on a counter PC.
constexpr int kIterations = 20000;
constexpr std::size_t kKeySize = 32;
constexpr std::size_t kSeedSize = 4;

std::size_t outputSize(std::size_t passwordLength) { return 32 + 4 * passwordLength; }

std::array<unsigned char, kSeedSize> saltOf(std::uint32_t seed)
{
    return {static_cast<unsigned char>(seed), static_cast<unsigned char>(seed >> 8),
            static_cast<unsigned char>(seed >> 16), static_cast<unsigned char>(seed >> 24)};
}

// The slow part: a key stretched from the password with the seed as salt, then
// spread over as many bytes as the record holds for a password of this length.
bool derive(std::string_view password, std::uint32_t seed, std::span<std::byte> out)
{
    auto salt = saltOf(seed);
    unsigned char key[kKeySize];
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(), salt.size(), kIterations,
                          EVP_sha256(), sizeof key, key) != 1)
        return false;
    return PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(key), sizeof key, salt.data(), salt.size(), 1, EVP_sha256(),
                             static_cast<int>(out.size()), reinterpret_cast<unsigned char*>(out.data())) == 1;
}

// The check word over the seed and the derived bytes; 0 is never used.
std::uint32_t checkWord(std::span<const std::byte> seedAndOutput)
{
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(seedAndOutput.data()), seedAndOutput.size(), digest);
    std::uint32_t word = static_cast<std::uint32_t>(digest[0]) | static_cast<std::uint32_t>(digest[1]) << 8 |
                         static_cast<std::uint32_t>(digest[2]) << 16 | static_cast<std::uint32_t>(digest[3]) << 24;
    return word == 0 ? 1 : word;
}

} // namespace

PasswordRecord PasswordRecord::fromBytes(std::span<const std::byte, kSize> bytes)
{
    PasswordRecord record;
    std::copy(bytes.begin(), bytes.end(), record.bytes_.begin());
    return record;
}

std::optional<PasswordRecord> PasswordRecord::build(std::string_view password, std::uint32_t seed)
{
    if (password.size() > kMaxPasswordLength)
        return std::nullopt;
    PasswordRecord record;
    Bytes bytes(record.bytes_);
    const std::size_t n = outputSize(password.size());
    putU32(bytes, 0, seed);
    if (!derive(password, seed, bytes.subspan(kSeedSize, n)))
        return std::nullopt;
    putU32(bytes, kSeedSize + n, checkWord(bytes.first(kSeedSize + n)));
    bytes[kSeedSize + n + 4] = std::byte{0xFF};
    return record; // the rest stays zero
}

std::uint32_t PasswordRecord::freshSeed()
{
    std::random_device device;
    return kSeedBase + device() % kSeedRange;
}

std::uint32_t PasswordRecord::seed() const { return getU32(bytes_, 0); }

bool PasswordRecord::isValid() const
{
    for (std::size_t marker = kSize - 1; marker >= kSeedSize + 4; --marker) {
        if (bytes_[marker] != std::byte{0xFF})
            continue;
        std::uint32_t stored = getU32(bytes_, marker - 4);
        if (stored == 0)
            continue;
        return stored == checkWord(ConstBytes(bytes_).first(marker - 4));
    }
    return false;
}

bool PasswordRecord::verify(std::string_view password) const
{
    auto built = build(password, seed());
    return built && *built == *this;
}

} // namespace store
