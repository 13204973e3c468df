#pragma once
// The console's money held in memory, as kept in "BriskoOpen": the unpaid bills
// with their lines, each station's session figures and open-bill mark, the
// bills of stations stopped together that are still waiting for members, and
// the bill work held back while a dialog was up. Plain values; the console
// fills them from its state and restores its state from them.

#include "store/bill_item.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace store {

// One entry of the open-bill list.
struct KeptBill {
    std::string caption;
    std::int32_t station = 0;
    bool itemMode = false;
    std::vector<BillItem> items;
    // Set while the bill is being charged: the journal's length before its entry
    // was appended. An entry with the bill's lines found there means it was paid.
    std::optional<std::uint64_t> chargingAt;

    friend bool operator==(const KeptBill&, const KeptBill&) = default;
};

// The bill a session, or a group of sessions stopped together, collects.
struct KeptSessionBill {
    std::int32_t owner = -1;
    std::int32_t pendingCount = 0;
    bool open = false;
    std::int32_t sessionCount = 0;
    std::int32_t rowCounter = 0;
    std::string stationsText;
    std::int64_t openTime = 0;
    std::int32_t lastStationNumber = 0;
    std::vector<BillItem> items;

    friend bool operator==(const KeptSessionBill&, const KeptSessionBill&) = default;
};

// One row of the station table with what its session holds.
struct KeptStation {
    std::int32_t index = 0;  // row, from 0
    bool running = false;    // the console counts a session for the station
    bool starting = false;   // Start was pressed and the station has not confirmed yet
    bool swapTarget = false; // a swap moved the session here and the station has not confirmed yet
    std::int64_t swapTime = 0;
    bool stopping = false; // a LOCK went out and its STOPPED was not heard yet
    bool openBillMark = false;
    bool billedWhileAway = false;
    std::int64_t startTime = 0;
    std::int64_t stopTime = 0; // when the LOCK of a stopping session was sent
    std::int32_t alarmChoice = 0;
    std::int64_t alarmTime = 0;
    std::uint32_t sessionSerial = 0;
    std::string accessCost;
    std::string extras;
    std::string total;
    KeptSessionBill sessionBill;

    friend bool operator==(const KeptStation&, const KeptStation&) = default;
};

// A closed session whose bill line was still waiting for a dialog to close.
struct KeptClose {
    std::int32_t index = 0;
    std::int32_t elapsed = 0;
    std::int64_t at = 0;

    friend bool operator==(const KeptClose&, const KeptClose&) = default;
};

// A priced print job whose line was still waiting for a dialog to close.
struct KeptPrintCharge {
    std::int32_t station = 0;
    BillItem line;
    double amount = 0.0;
    bool running = false;
    std::uint32_t sessionSerial = 0;

    friend bool operator==(const KeptPrintCharge&, const KeptPrintCharge&) = default;
};

// When the last session the console counted on a station ended: a session
// the station reports later must have begun after it.
struct KeptSessionEnd {
    std::int32_t index = 0;
    std::int64_t end = 0;

    friend bool operator==(const KeptSessionEnd&, const KeptSessionEnd&) = default;
};

// Bill work held back by a dialog, in the order it came.
using KeptHeldWork = std::variant<KeptClose, KeptPrintCharge>;

struct OpenState {
    std::vector<KeptBill> bills;
    std::vector<KeptStation> stations; // only rows that hold something
    std::vector<KeptHeldWork> held;
    // Print jobs taken from the print monitor whose charge is kept here but
    // which the monitor has not been told about yet: after a crash they are
    // not charged again when the monitor hands them over once more.
    std::vector<std::string> takenPrintJobs;
    std::vector<KeptSessionEnd> sessionEnds; // only stations that ever had one

    bool empty() const
    {
        return bills.empty() && stations.empty() && held.empty() && takenPrintJobs.empty() && sessionEnds.empty();
    }
    friend bool operator==(const OpenState&, const OpenState&) = default;
};

} // namespace store
