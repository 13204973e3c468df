#include "link/session_info_record.h"

#include "link/protocol.h"

#include <algorithm>

namespace stationlink {

namespace {

// Like copying into a fixed slot: stops at a NUL and at the slot's capacity.
std::string slot(std::string_view text, std::size_t size)
{
    text = text.substr(0, text.find('\0'));
    return std::string(text.substr(0, std::min(text.size(), size - 1)));
}

} // namespace

SessionInfoRecord SessionInfoRecord::fromFigures(std::string_view durationText, std::string_view accessCost,
                                                 std::string_view extras, std::string_view total, std::time_t start)
{
    SessionInfoRecord record;
    record.duration = slot(durationText, kDurationSize);
    record.accessCost = slot(accessCost, kAmountSize);
    record.extras = slot(extras, kAmountSize);
    record.total = slot(total, kAmountSize);
    record.stamp = slot(formatSessionStamp(start), kStampSize);
    return record;
}

} // namespace stationlink
