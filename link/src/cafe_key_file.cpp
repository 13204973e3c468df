#include "link/cafe_key_file.h"

#include "platform/small_file.h"

#include <cerrno>
#include <system_error>

namespace stationlink {

namespace {

// A code with generous room for whitespace; anything longer is not a key file.
constexpr std::size_t kLongestFile = 256;

std::string systemText(int err) { return std::generic_category().message(err); }

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view kSpace = " \t\r\n";
    auto first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

} // namespace

CafeKeyFileReading readCafeKeyFile(const std::filesystem::path& file)
{
    CafeKeyFileReading reading;
    const platform::Result<std::string, int> bytes = platform::readSmallFile(file, kLongestFile);
    if (!bytes) {
        if (bytes.error() != ENOENT)
            reading.problem =
                "The cafe's key file " + file.string() + " cannot be read: " + systemText(bytes.error()) + ".";
        return reading;
    }
    if (bytes->size() > kLongestFile) {
        reading.problem = "The cafe's key file " + file.string() + " is damaged: it holds more than a key.";
        return reading;
    }
    const std::string_view code = trimmed(*bytes);
    if (auto problem = CafeKey::problemWith(code)) {
        reading.problem = "The cafe's key file " + file.string() + " is damaged. " + *problem;
        return reading;
    }
    reading.key = CafeKey::fromCode(code);
    if (!reading.key)
        reading.problem = "The cafe's key in " + file.string() + " could not be prepared for use.";
    return reading;
}

bool writeCafeKeyFile(const std::filesystem::path& file, const CafeKey& key)
{
    return platform::replaceSmallFile(file, key.code() + "\n");
}

} // namespace stationlink
