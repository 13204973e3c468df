#pragma once
// The link's own copy of the stations' addresses, and of those the owner lets
// connect without the cafe's key; readable from any thread.

#include "platform/ipv4.h"

#include <mutex>
#include <optional>
#include <vector>

namespace stationlink {

class StationDirectory {
public:
    void assign(std::vector<platform::Ipv4Address> addresses)
    {
        std::lock_guard lock(mutex_);
        addresses_ = std::move(addresses);
    }

    std::optional<platform::Ipv4Address> addressOf(int index) const
    {
        std::lock_guard lock(mutex_);
        if (index < 0 || static_cast<std::size_t>(index) >= addresses_.size())
            return std::nullopt;
        return addresses_[static_cast<std::size_t>(index)];
    }

    // The stations that may connect without the cafe's key (when the link has one).
    void allowKeyless(std::vector<platform::Ipv4Address> addresses)
    {
        std::lock_guard lock(mutex_);
        keyless_ = std::move(addresses);
    }
    bool keylessAllowed(platform::Ipv4Address address) const
    {
        std::lock_guard lock(mutex_);
        for (const auto& allowed : keyless_)
            if (allowed == address)
                return true;
        return false;
    }

    // Index of the first station with this address, or -1.
    int find(platform::Ipv4Address address) const
    {
        std::lock_guard lock(mutex_);
        for (std::size_t i = 0; i < addresses_.size(); ++i)
            if (addresses_[i] == address)
                return static_cast<int>(i);
        return -1;
    }

private:
    mutable std::mutex mutex_;
    std::vector<platform::Ipv4Address> addresses_;
    std::vector<platform::Ipv4Address> keyless_;
};

} // namespace stationlink
