#pragma once
// The console's side of the cafe's key: the key itself in "BriskoKey" (made at
// the console's first start, readable by the console's user only, shown to the
// owner in the Configuration dialog to be typed at each station), and the
// stations the owner lets connect without it, one address a line in
// "BriskoKeyless" (older stations that hold no key).
//
// Window thread only.

#include "link/cafe_key.h"
#include "platform/ipv4.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace console {

inline constexpr const char* kKeyFileName = "BriskoKey";
inline constexpr const char* kKeylessFileName = "BriskoKeyless";

class LinkKeys {
public:
    explicit LinkKeys(std::filesystem::path folder) : folder_(std::move(folder)) {}

    enum class Opened {
        Read,    // the key was there
        Made,    // there was none: a new one was made and kept
        Missing, // there was none and none was to be made: the link runs without a key
        Damaged, // the file could not be used (problem() says why); it is left as it is
    };
    // Reads the key (making one when there is none and `make` is set) and the
    // stations allowed without it.
    Opened open(bool make);
    const std::string& problem() const { return problem_; }

    // The key stations must prove: the cafe's, or after Damaged one nobody
    // holds, so that no station is served until the owner mends the file.
    std::optional<stationlink::CafeKey> linkKey() const;
    // Whether stations must prove a key (the cafe's, or one nobody holds).
    bool hasKey() const { return key_.has_value() || damaged_; }
    // The code the owner types at each station; empty without a key.
    std::string code() const { return key_ ? key_->code() : std::string(); }

    const std::vector<platform::Ipv4Address>& keyless() const { return keyless_; }
    bool allowsKeyless(platform::Ipv4Address address) const;
    // Lets the station at `address` connect without the key, or not, and
    // rewrites "BriskoKeyless"; false when it could not be written.
    [[nodiscard]] bool setKeylessAllowed(platform::Ipv4Address address, bool allowed);

private:
    void readKeyless();

    std::filesystem::path folder_;
    std::optional<stationlink::CafeKey> key_;
    bool damaged_ = false;
    std::string problem_;
    std::vector<platform::Ipv4Address> keyless_;
};

} // namespace console
