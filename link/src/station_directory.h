#pragma once
// The link's own copy of the stations' addresses, readable from any thread.

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
};

} // namespace stationlink
