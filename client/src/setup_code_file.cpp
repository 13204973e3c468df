#include "client/setup_code_file.h"

#include "client/client_state.h"
#include "client/texts.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace client {

namespace {

constexpr std::array<char, 4> kMarker{'T', 'S', 'C', '1'};
constexpr std::size_t kCountAt = 4;
constexpr std::size_t kSaltAt = 8;
constexpr std::size_t kSaltSize = 16;
constexpr std::size_t kKeyAt = 24;
constexpr std::size_t kKeySize = 32;
// Some tens of milliseconds per try: unnoticed by the owner, slow for guessing.
constexpr std::uint32_t kIterations = 100000;
constexpr std::uint32_t kFewestIterations = 1000;
constexpr std::uint32_t kMostIterations = 10000000;

std::uint32_t getU32(const std::vector<std::byte>& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    return value;
}

void putU32(std::vector<std::byte>& bytes, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::byte>(value >> (8 * i));
}

bool derive(std::string_view code, const std::byte* salt, std::uint32_t iterations, std::byte* key)
{
    return PKCS5_PBKDF2_HMAC(code.data(), static_cast<int>(code.size()), reinterpret_cast<const unsigned char*>(salt),
                             kSaltSize, static_cast<int>(iterations), EVP_sha256(), kKeySize,
                             reinterpret_cast<unsigned char*>(key)) == 1;
}

bool wellFormed(const std::vector<std::byte>& bytes)
{
    if (bytes.size() != SetupCodeFile::kSize || std::memcmp(bytes.data(), kMarker.data(), kMarker.size()) != 0)
        return false;
    std::uint32_t iterations = getU32(bytes, kCountAt);
    return iterations >= kFewestIterations && iterations <= kMostIterations;
}

} // namespace

SetupCodeFile::SetupCodeFile(std::filesystem::path file) : path_(std::move(file)) {}

bool SetupCodeFile::open()
{
    if (!file_.isOpen())
        file_ = platform::SharedFile::openOwned(path_).value_or(platform::SharedFile{});
    return file_.isOpen();
}

bool SetupCodeFile::load()
{
    status_ = Status::BuiltIn;
    record_.clear();
    if (!open())
        return false;
    auto bytes = file_.readAll();
    if (!bytes) {
        status_ = Status::Damaged;
        return false;
    }
    if (bytes->empty())
        return true;
    if (!wellFormed(*bytes)) {
        status_ = Status::Damaged;
        return true;
    }
    record_ = std::move(*bytes);
    status_ = Status::OwnersCode;
    return true;
}

SetupCodeFile::Status SetupCodeFile::peekStatus(const std::filesystem::path& file)
{
    auto reader = platform::SharedFile::openReader(file).value_or(platform::SharedFile{});
    if (!reader.isOpen())
        return Status::BuiltIn;
    auto bytes = reader.readAll();
    if (!bytes)
        return Status::Damaged;
    if (bytes->empty())
        return Status::BuiltIn;
    return wellFormed(*bytes) ? Status::OwnersCode : Status::Damaged;
}

bool SetupCodeFile::matches(std::string_view typed) const
{
    switch (status_) {
    case Status::BuiltIn:
        return typed == kSetupCode;
    case Status::Damaged:
        return false;
    case Status::OwnersCode:
        break;
    }
    std::array<std::byte, kKeySize> key{};
    if (!derive(typed, record_.data() + kSaltAt, getU32(record_, kCountAt), key.data()))
        return false;
    return CRYPTO_memcmp(key.data(), record_.data() + kKeyAt, kKeySize) == 0;
}

bool SetupCodeFile::store(std::string_view code)
{
    if (problemWith(code) || !open())
        return false;
    std::vector<std::byte> bytes(kSize);
    std::memcpy(bytes.data(), kMarker.data(), kMarker.size());
    putU32(bytes, kCountAt, kIterations);
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data() + kSaltAt), kSaltSize) != 1)
        return false;
    if (!derive(code, bytes.data() + kSaltAt, kIterations, bytes.data() + kKeyAt))
        return false;
    if (!file_.replaceContent(bytes))
        return false;
    record_ = std::move(bytes);
    status_ = Status::OwnersCode;
    return true;
}

std::optional<std::string> SetupCodeFile::problemWith(std::string_view code)
{
    if (code.size() < kShortestCode || code.size() > kLongestCode)
        return kCodeLengthMessage;
    for (char c : code) {
        if (c < 0x21 || c > 0x7E)
            return kCodeCharactersMessage;
    }
    return std::nullopt;
}

} // namespace client
