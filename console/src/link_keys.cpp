#include "link_keys.h"

#include "console/texts.h"

#include "link/cafe_key_file.h"
#include "platform/small_file.h"

#include <algorithm>
#include <sstream>

namespace console {

namespace {

// Every station's address on a line of its own, with room to spare.
constexpr std::size_t kLongestKeylessFile = 4096;

} // namespace

LinkKeys::Opened LinkKeys::open(bool make)
{
    readKeyless();
    const std::filesystem::path file = folder_ / kKeyFileName;
    stationlink::CafeKeyFileReading reading = stationlink::readCafeKeyFile(file);
    key_ = reading.key;
    problem_ = std::move(reading.problem);
    damaged_ = !problem_.empty();
    if (key_)
        return Opened::Read;
    if (damaged_)
        return Opened::Damaged;
    if (!make)
        return Opened::Missing;
    key_ = stationlink::CafeKey::generate();
    if (key_ && stationlink::writeCafeKeyFile(file, *key_))
        return Opened::Made;
    // A key nobody could be given would lock every station out for good.
    key_.reset();
    damaged_ = true;
    problem_ = keyNotKeptProblem(file.string());
    return Opened::Damaged;
}

std::optional<stationlink::CafeKey> LinkKeys::linkKey() const
{
    if (damaged_)
        return stationlink::CafeKey::generate();
    return key_;
}

bool LinkKeys::allowsKeyless(platform::Ipv4Address address) const
{
    return std::ranges::find(keyless_, address) != keyless_.end();
}

bool LinkKeys::setKeylessAllowed(platform::Ipv4Address address, bool allowed)
{
    if (allowed == allowsKeyless(address))
        return true;
    std::vector<platform::Ipv4Address> next = keyless_;
    if (allowed)
        next.push_back(address);
    else
        std::erase(next, address);
    std::string text;
    for (const platform::Ipv4Address& a : next)
        text += a.toString() + "\n";
    if (!platform::replaceSmallFile(folder_ / kKeylessFileName, text))
        return false;
    keyless_ = std::move(next);
    return true;
}

// Lines that are no address (a typo made by hand) are passed over.
void LinkKeys::readKeyless()
{
    keyless_.clear();
    std::istringstream in(
        platform::readSmallFile(folder_ / kKeylessFileName, kLongestKeylessFile).value_or(std::string()));
    std::string line;
    while (std::getline(in, line))
        if (auto address = platform::Ipv4Address::parse(line); address && !allowsKeyless(*address))
            keyless_.push_back(*address);
}

} // namespace console
