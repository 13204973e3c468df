#pragma once
// The per-station slots, made when a station is first used and kept until the
// link is destroyed, so that threads may hold on to them. Each slot owns seven
// events; making them on demand keeps a small console from holding hundreds of
// descriptors it never uses.

#include "link/link_settings.h"
#include "station_slot.h"

#include "platform/event.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

namespace stationlink {

class SlotTable {
public:
    // The slot of station i, or null when it was never made or i is out of range.
    StationSlot* find(int i) const
    {
        if (i < 0 || i >= kMaxStations)
            return nullptr;
        return slots_[static_cast<std::size_t>(i)].load(std::memory_order_acquire);
    }

    // The slot of station i, made if needed (i must be in range).
    StationSlot& obtain(int i)
    {
        std::lock_guard lock(mutex_);
        auto& entry = slots_[static_cast<std::size_t>(i)];
        if (StationSlot* slot = entry.load(std::memory_order_acquire))
            return *slot;
        owned_[static_cast<std::size_t>(i)] = std::make_unique<StationSlot>();
        entry.store(owned_[static_cast<std::size_t>(i)].get(), std::memory_order_release);
        added.set(); // the listener rebuilds what it waits on
        return *owned_[static_cast<std::size_t>(i)];
    }

    template <typename F>
    void forEach(F&& f) const
    {
        for (int i = 0; i < kMaxStations; ++i)
            if (StationSlot* slot = find(i))
                f(i, *slot);
    }

    // Set whenever a slot is made.
    platform::ManualResetEvent added;

private:
    std::mutex mutex_;
    std::array<std::atomic<StationSlot*>, kMaxStations> slots_{};
    std::array<std::unique_ptr<StationSlot>, kMaxStations> owned_;
};

} // namespace stationlink
