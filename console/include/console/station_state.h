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

struct StationState {
    std::time_t startTime = 0;
    int alarmChoice = 0; // 0 = "(none)", else the index of the chosen alarm entry
    std::time_t alarmTime = 0;
    // When the last LOCK was sent: a session whose STOPPED was not heard before
    // a restart is billed up to then.
    std::time_t stopTime = 0;
    bool swapHold = false;     // a STOPPED event closes no bill (the session moved on)
    bool openBillMark = false; // the station has an open bill
    // The session was billed while the station was away, a swap moved it to
    // another station, or the operator stopped waiting for the station to
    // confirm: if the station comes back (or confirms) unlocked it is locked
    // without a bill of its own.
    bool billedWhileAway = false;
    // While the row reads "Swapping": whether the session is moving to this
    // station (rather than away from it), and when the swap was made.
    bool swapTarget = false;
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
