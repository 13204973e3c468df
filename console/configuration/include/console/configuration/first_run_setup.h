#pragma once
// The first-run setup of a new cafe, step by step: the owner's password, the
// stations (those already knocking at the console are offered first), the
// rates from a preset priced by the hour, and the two receipt lines. Every step
// may be skipped; what is skipped stays as a new cafe has it and is set later
// in Configuration. The window shows the steps and forwards what the owner
// types; this model checks and keeps the choices; the console engine writes
// them to the cafe's files.
//
// Thread contract: window thread only.

#include "console/texts.h"

#include "platform/ipv4.h"
#include "store/rate_table.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace console::configuration {

struct StationChoice {
    std::string computerName;
    platform::Ipv4Address address;
};

// How the hour's price is cut into rate blocks.
enum class RatePreset {
    QuarterHours,         // every started quarter hour a quarter of the hour's price
    HalfHourThenQuarters, // a first half hour, then quarter hours
    WholeHours,           // every started hour the whole price
};

struct RatePresetCaption {
    RatePreset preset;
    const char* caption;
};

class FirstRunSetup {
public:
    static constexpr std::array<RatePresetCaption, 3> kPresets{{
        {RatePreset::QuarterHours, kQuarterHoursCaption},
        {RatePreset::HalfHourThenQuarters, kHalfHourThenQuartersCaption},
        {RatePreset::WholeHours, kWholeHoursCaption},
    }};

    // Whether a cafe is new enough to be offered the setup: no password, no
    // stations and no rates. A cafe someone has begun to set up is left alone.
    static bool wanted(bool passwordEmpty, int stationCount, std::size_t rateRows);

    // The stations that tried to connect and are listed nowhere yet, as the
    // console has seen them so far; the window passes them on while it shows
    // the stations step.
    void setKnocking(std::vector<platform::Ipv4Address> knocking) { knocking_ = std::move(knocking); }

    // The password step: nullopt when taken (both empty keeps no password),
    // otherwise the message to show, and nothing changes.
    std::optional<std::string> choosePassword(const std::string& password, const std::string& confirm);
    // The chosen password; nullopt keeps the empty one.
    const std::optional<std::string>& password() const { return password_; }

    // The stations step. Knocking addresses not yet added, in the order they came.
    std::vector<platform::Ipv4Address> knocking() const;
    // Adds a station; nullopt when added, otherwise the message (bad or
    // repeated address, a missing name, too many stations).
    std::optional<std::string> addStation(const std::string& computerName, const std::string& addressText);
    // The name a station gets when the owner types none: "PC 1", "PC 2", ...
    std::string suggestedName() const;
    void removeStation(std::size_t index);
    const std::vector<StationChoice>& stations() const { return stations_; }

    // The rates step: the preset's rows for the hour's price typed, such as
    // "2.00"; nullopt when taken, otherwise the message.
    std::optional<std::string> chooseRates(RatePreset preset, const std::string& hourPriceText);
    void skipRates() { rates_.clear(); }
    const std::vector<store::RateBlock>& rates() const { return rates_; }
    static std::vector<store::RateBlock> presetRows(RatePreset preset, double hourPrice);

    // The receipt step: the two lines printed at the head of every receipt.
    void setReceiptLines(std::string line1, std::string line2);
    const std::string& receiptLine1() const { return line1_; }
    const std::string& receiptLine2() const { return line2_; }

private:
    const StationChoice* stationAt(const platform::Ipv4Address& address) const; // null when none
    std::vector<platform::Ipv4Address> knocking_;
    std::optional<std::string> password_;
    std::vector<StationChoice> stations_;
    std::vector<store::RateBlock> rates_;
    std::string line1_, line2_;
};

} // namespace console::configuration
