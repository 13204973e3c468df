#include "console/configuration/first_run_setup.h"

#include "console/texts.h"

#include "store/client_table.h"
#include "store/configuration.h"

#include <algorithm>
#include <cmath>
#include <regex>

namespace console::configuration {

namespace {

// A price as the owner types it: digits, and at most two decimals after a point.
std::optional<double> strictPrice(const std::string& text)
{
    static const std::regex kPrice(R"(\s*([0-9]{1,4})(\.[0-9]{0,2})?\s*)");
    if (!std::regex_match(text, kPrice))
        return std::nullopt;
    return std::stod(text);
}

// A share of the hour's price, at the cent, as the Rates page shows and charges it.
double centsOf(double value) { return std::round(value * 100.0) / 100.0; }

std::string cut(std::string line)
{
    if (line.size() >= store::Configuration::kLineSize)
        line.resize(store::Configuration::kLineSize - 1);
    return line;
}

} // namespace

bool FirstRunSetup::wanted(bool passwordEmpty, int stationCount, std::size_t rateRows)
{
    return passwordEmpty && stationCount == 0 && rateRows == 0;
}

std::optional<std::string> FirstRunSetup::choosePassword(const std::string& password, const std::string& confirm)
{
    if (password != confirm)
        return std::string(kMismatchMessage);
    if (password.size() > store::Configuration::kMaxPasswordLength)
        return passwordTooLongMessage(store::Configuration::kMaxPasswordLength);
    if (password.empty())
        password_.reset();
    else
        password_ = password;
    return std::nullopt;
}

std::vector<platform::Ipv4Address> FirstRunSetup::knocking() const
{
    std::vector<platform::Ipv4Address> left;
    for (const auto& address : knocking_)
        if (!stationAt(address))
            left.push_back(address);
    return left;
}

std::optional<std::string> FirstRunSetup::addStation(const std::string& computerName, const std::string& addressText)
{
    if (stations_.size() >= static_cast<std::size_t>(store::kMaxStations))
        return tooManyStationsMessage(store::kMaxStations);
    const auto address = platform::Ipv4Address::parse(addressText);
    if (!address || address->isAny())
        return notAnAddressMessage(addressText);
    if (const StationChoice* other = stationAt(*address))
        return addressTakenMessage(other->computerName, address->toString());
    std::string name = computerName.empty() ? suggestedName() : computerName;
    if (name.size() >= store::ClientCodec::kNameSize)
        return std::string(kNameTooLongMessage);
    stations_.push_back({std::move(name), *address});
    return std::nullopt;
}

const StationChoice* FirstRunSetup::stationAt(const platform::Ipv4Address& address) const
{
    const auto found = std::find_if(stations_.begin(), stations_.end(),
                                    [&](const StationChoice& station) { return station.address == address; });
    return found == stations_.end() ? nullptr : &*found;
}

std::string FirstRunSetup::suggestedName() const
{
    return suggestedStationName(static_cast<int>(stations_.size()) + 1);
}

void FirstRunSetup::removeStation(std::size_t index)
{
    if (index < stations_.size())
        stations_.erase(stations_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::optional<std::string> FirstRunSetup::chooseRates(RatePreset preset, const std::string& hourPriceText)
{
    const auto price = strictPrice(hourPriceText);
    if (!price || *price <= 0.0)
        return notAPriceMessage(hourPriceText);
    rates_ = presetRows(preset, *price);
    return std::nullopt;
}

std::vector<store::RateBlock> FirstRunSetup::presetRows(RatePreset preset, double hourPrice)
{
    switch (preset) {
    case RatePreset::QuarterHours:
        return {{"00:15:00", store::kRepeatBlock, centsOf(hourPrice / 4)}};
    case RatePreset::HalfHourThenQuarters:
        return {{"00:30:00", 1, centsOf(hourPrice / 2)}, {"00:15:00", store::kRepeatBlock, centsOf(hourPrice / 4)}};
    case RatePreset::WholeHours:
        return {{"01:00:00", store::kRepeatBlock, centsOf(hourPrice)}};
    }
    return {};
}

void FirstRunSetup::setReceiptLines(std::string line1, std::string line2)
{
    line1_ = cut(std::move(line1));
    line2_ = cut(std::move(line2));
}

} // namespace console::configuration
