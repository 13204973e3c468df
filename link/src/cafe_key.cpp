#include "link/cafe_key.h"

#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/kdf.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace stationlink {

namespace {

constexpr std::string_view kAlphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr std::size_t kDataSymbols = CafeKey::kCodeSymbols - 1;
constexpr std::size_t kGroup = 5;
// Changing either label changes every station's key: they name this version of the link.
constexpr std::string_view kSalt = "cafe station link v1";
constexpr std::string_view kInfo = "tls external psk";

std::optional<std::uint8_t> symbolValue(char c)
{
    if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
    if (c == 'O')
        return 0;
    if (c == 'I' || c == 'L')
        return 1;
    auto at = kAlphabet.find(c);
    if (at == std::string_view::npos)
        return std::nullopt;
    return static_cast<std::uint8_t>(at);
}

bool isIgnored(char c) { return c == '-' || c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Multiplies by x in GF(32), the field of polynomials modulo x^5 + x^2 + 1.
std::uint8_t timesX(std::uint8_t v)
{
    v = static_cast<std::uint8_t>(v << 1);
    return (v & 0x20) ? static_cast<std::uint8_t>(v ^ 0x25) : v;
}

// The symbols as the coefficients of a polynomial over GF(32), evaluated at x.
// The check symbol makes a whole code evaluate to 0. A wrong symbol moves the
// value by e·x^k and two swapped neighbours a, b by (a+b)·x^k·(x+1): neither
// is ever 0, so both mistakes are always caught.
std::uint8_t evaluate(std::span<const std::uint8_t> symbols)
{
    std::uint8_t value = 0;
    for (std::uint8_t s : symbols)
        value = static_cast<std::uint8_t>(timesX(value) ^ s);
    return value;
}

struct Reading {
    std::vector<std::uint8_t> symbols;
    std::optional<char> refused; // the first character that is no symbol
};

Reading readTyped(std::string_view typed)
{
    Reading r;
    for (char c : typed) {
        if (isIgnored(c))
            continue;
        auto value = symbolValue(c);
        if (!value) {
            r.refused = c;
            break;
        }
        r.symbols.push_back(*value);
    }
    return r;
}

std::optional<std::string> problemOf(const Reading& r)
{
    if (r.refused) {
        const char c = *r.refused;
        if (c > 0x20 && c < 0x7F)
            return "The cafe's key cannot contain \"" + std::string(1, c) + "\".";
        return std::string("The cafe's key holds only letters and digits.");
    }
    if (r.symbols.size() != CafeKey::kCodeSymbols)
        return "The cafe's key has " + std::to_string(CafeKey::kCodeSymbols) + " characters; this has " +
               std::to_string(r.symbols.size()) + ".";
    if (evaluate(r.symbols) != 0)
        return std::string("The cafe's key has a typing error: check it against the console's Configuration dialog.");
    return std::nullopt;
}

struct KdfFree {
    void operator()(EVP_KDF* kdf) const { EVP_KDF_free(kdf); }
    void operator()(EVP_KDF_CTX* ctx) const { EVP_KDF_CTX_free(ctx); }
};

bool derivePsk(std::span<const unsigned char> bits, CafeKey::Psk& psk)
{
    std::unique_ptr<EVP_KDF, KdfFree> kdf(EVP_KDF_fetch(nullptr, "HKDF", nullptr));
    std::unique_ptr<EVP_KDF_CTX, KdfFree> ctx(kdf ? EVP_KDF_CTX_new(kdf.get()) : nullptr);
    if (!ctx) {
        ERR_clear_error();
        return false;
    }
    // OSSL_PARAM takes non-const pointers but only reads through them here.
    char digest[] = "SHA256";
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_KDF_PARAM_DIGEST, digest, 0),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_KEY, const_cast<unsigned char*>(bits.data()), bits.size()),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_SALT, const_cast<char*>(kSalt.data()), kSalt.size()),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_INFO, const_cast<char*>(kInfo.data()), kInfo.size()),
        OSSL_PARAM_construct_end(),
    };
    if (EVP_KDF_derive(ctx.get(), psk.data(), psk.size(), params) != 1) {
        ERR_clear_error();
        return false;
    }
    return true;
}

} // namespace

std::optional<CafeKey> CafeKey::fromBits(const Bits& bits)
{
    CafeKey key;
    key.bits_ = bits;
    if (!derivePsk(key.bits_, key.psk_))
        return std::nullopt;
    return key;
}

std::optional<CafeKey> CafeKey::generate()
{
    Bits bits{};
    if (RAND_bytes(bits.data(), static_cast<int>(bits.size())) != 1) {
        ERR_clear_error();
        return std::nullopt;
    }
    return fromBits(bits);
}

std::optional<CafeKey> CafeKey::fromCode(std::string_view typed)
{
    Reading r = readTyped(typed);
    if (problemOf(r))
        return std::nullopt;
    // The 24 data symbols are the 120 bits, first bit first.
    Bits bits{};
    unsigned pending = 0;
    int pendingCount = 0;
    std::size_t out = 0;
    for (std::size_t i = 0; i < kDataSymbols; ++i) {
        pending = (pending << 5) | r.symbols[i];
        pendingCount += 5;
        if (pendingCount >= 8) {
            pendingCount -= 8;
            bits[out++] = static_cast<unsigned char>(pending >> pendingCount);
            pending &= (1u << pendingCount) - 1;
        }
    }
    return fromBits(bits);
}

std::optional<std::string> CafeKey::problemWith(std::string_view typed) { return problemOf(readTyped(typed)); }

std::string CafeKey::code() const
{
    std::vector<std::uint8_t> symbols;
    symbols.reserve(kCodeSymbols);
    unsigned pending = 0;
    int pendingCount = 0;
    for (unsigned char byte : bits_) {
        pending = (pending << 8) | byte;
        pendingCount += 8;
        while (pendingCount >= 5) {
            pendingCount -= 5;
            symbols.push_back(static_cast<std::uint8_t>((pending >> pendingCount) & 0x1F));
        }
        pending &= (1u << pendingCount) - 1;
    }
    symbols.push_back(timesX(evaluate(symbols)));

    std::string text;
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        if (i > 0 && i % kGroup == 0)
            text += '-';
        text += kAlphabet[symbols[i]];
    }
    return text;
}

} // namespace stationlink
