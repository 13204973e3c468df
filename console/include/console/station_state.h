#pragma once
// What the console keeps behind each row of the station table.

#include "store/bill_item.h"

#include <ctime>
#include <string>
#include <vector>

namespace console {

inline constexpr int kMaxStations = 99;

// The bill assembled when a session, or a group of sessions stopped together,
// ends. A group collects in its owner's record.
struct SessionBill {
    int owner = -1;       // -1: this station's own record; else the index of the collecting station
    int pendingCount = 0; // members of a pooled group still to report STOPPED
    bool open = false;
    int sessionCount = 0; // stations already added
    int rowCounter = 0;
    std::string stationsText; // "Comp#: " + station numbers separated by ", "
    std::time_t openTime = 0;
    std::vector<store::BillItem> items;
    int lastStationNumber = 0;
};

// What the console must remember of a station beyond its row's phase: which of
// the station's next reports make no bill, and the bill and swap the station
// takes part in.
enum class Hold : unsigned {
    // The next STOPPED closes no bill: the session moved on, or the console
    // locked a session it does not hold.
    UnbilledStop = 1U << 0,
    // The console holds no session for the station any more: it was billed
    // while the station was away, a swap moved it to another station, or the
    // operator stopped waiting for the station to confirm. If the station comes
    // back (or confirms) unlocked it is locked without a bill of its own.
    SessionSettled = 1U << 1,
    // A swap moved the session here and the station has not confirmed it yet.
    SwapArriving = 1U << 2,
    // The station has an open bill on the panel.
    OpenBill = 1U << 3,
};

class StationHolds {
public:
    constexpr StationHolds() = default;
    constexpr StationHolds(Hold hold) : bits_(static_cast<unsigned>(hold)) {}

    constexpr bool has(Hold hold) const { return (bits_ & static_cast<unsigned>(hold)) != 0; }
    constexpr void set(StationHolds holds) { bits_ |= holds.bits_; }
    constexpr void clear(StationHolds holds) { bits_ &= ~holds.bits_; }
    // Sets or clears, as `on` says.
    constexpr void put(Hold hold, bool on) { on ? set(hold) : clear(hold); }
    friend constexpr StationHolds operator|(StationHolds a, StationHolds b)
    {
        a.set(b);
        return a;
    }

private:
    unsigned bits_ = 0;
};

constexpr StationHolds operator|(Hold a, Hold b) { return StationHolds(a) | b; }

struct StationState {
    std::time_t startTime = 0;
    int alarmChoice = 0; // 0 = "(none)", else the index of the chosen alarm entry
    std::time_t alarmTime = 0;
    // When the last LOCK was sent: a session whose STOPPED was not heard before
    // a restart is billed up to then.
    std::time_t stopTime = 0;
    StationHolds holds;
    // When the last swap moved a session here (read while Hold::SwapArriving is set).
    std::time_t swapTime = 0;
    // The end of the last session the console counted on the station (billed,
    // or moved away by a swap): a session the station reports must have begun
    // after it, so that one already charged can never be taken up again.
    std::time_t lastSessionEnd = 0;
    // Whether the console regards the station as connected (LinkState::Connected, kept
    // here for the window thread): an idle row reads "Stopped" only then.
    bool connected = false;
    // Counts the sessions closed on the station, so that work held back from an
    // earlier session can tell it apart from a later one.
    unsigned sessionSerial = 0;
    SessionBill sessionBill;

    bool alarmArmed() const { return alarmChoice != 0; }
};

} // namespace console
