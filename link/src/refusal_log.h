#pragma once
// The refusals the link's threads made and the console has not taken yet. Each
// address and reason is reported once a run, so a station that retries every
// second fills no log, and at most kMaxReported pairs are remembered.
//
// Thread-safe: the listener and the station threads add, the console takes.

#include "link/link_security.h"

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <utility>
#include <vector>

namespace stationlink {

class RefusalLog {
public:
    static constexpr std::size_t kMaxReported = 256;

    void add(const LinkRefusal& refusal)
    {
        std::lock_guard lock(mutex_);
        if (reported_.size() >= kMaxReported || std::ranges::find(reported_, refusal) != reported_.end())
            return;
        reported_.push_back(refusal);
        waiting_.push_back(refusal);
    }

    std::vector<LinkRefusal> take()
    {
        std::lock_guard lock(mutex_);
        return std::exchange(waiting_, {});
    }

private:
    std::mutex mutex_;
    std::vector<LinkRefusal> reported_;
    std::vector<LinkRefusal> waiting_;
};

} // namespace stationlink
