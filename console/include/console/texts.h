#pragma once
// The console's own texts: row states, bill captions, button captions and the
// alarm choices. Rules compare these exact strings, so they live in one place.

#include <array>
#include <string>
#include <string_view>

namespace console {

// "Status" column of the station table.
inline constexpr std::string_view kStatusDisconnected = "Disconnected";
inline constexpr std::string_view kStatusStopped = "Stopped";
inline constexpr std::string_view kStatusStarting = "Starting";
inline constexpr std::string_view kStatusStarted = "Started";
inline constexpr std::string_view kStatusSwapping = "Swapping";

// The note beside a row's status while its station has not answered a command.
inline constexpr std::string_view kStartNotAnsweredNote = "Start sent, station not answering";
inline constexpr std::string_view kStopNotAnsweredNote = "Stop sent, station not answering";
inline constexpr std::string_view kNotAnsweringNote = "station not answering";
// The station's owner has its setup open there: the station is not locked.
inline constexpr std::string_view kSetupOpenNote = "setup open at the station";

// Money columns of an idle row.
inline constexpr std::string_view kZeroMoney = "0.00";
// "Duration" after a reconnect, until the next money tick.
inline constexpr std::string_view kUnknownDuration = "?";

// Bill captions (selector entries and the bill caption).
inline constexpr std::string_view kWalkInBillCaption = "Open Bill";
inline constexpr std::string_view kStationsPrefix = "Comp#: ";
std::string stationOpenBillCaption(int stationNumber); // "Open Bill: Comp#: %d"
std::string stationBillCaption(int stationNumber);     // "Comp#: %d"

// Item-panel button captions.
inline constexpr std::string_view kAddItemsCaption = "Add Items";
inline constexpr std::string_view kTenderCaption = "Tender";
std::string stopPcCaption(int stationNumber); // "Stop PC#%d"

// The question of the price prompt for an item (its caption in button form).
std::string priceQuestion(const std::string& itemCaption);

// Due/change label.
inline constexpr std::string_view kDueLabel = "DUE:";
inline constexpr std::string_view kChangeLabel = "CHANGE:";

// Alarm selector entries; index 0 disarms.
inline constexpr std::array<std::string_view, 12> kAlarmChoices = {
    "(none)", "00:10", "00:20", "00:30", "00:40", "00:50",
    "01:00",  "02:00", "03:00", "04:00", "05:00", "06:00"};
// Seconds an alarm choice stands for: hours from its first two characters,
// minutes from its last two; 0 for "(none)" and out-of-range indexes.
int alarmChoiceSeconds(int choice);

inline bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Asked before a bill is charged with less tendered than is due; the
// default answer is No.
std::string shortTenderQuestion(double shortBy); // "Tender is %.2f short. Charge anyway?"
inline constexpr std::string_view kNoReceiptPrinterQuestion =
    "No printer is available for the receipt.\r\n\r\nCharge the bill without a receipt?";
inline constexpr std::string_view kReceiptFailedQuestion =
    "The receipt could not be printed.\r\n\r\nCharge the bill without a receipt?";
// Before a new bill's entry in the selector until it is displayed.
inline constexpr std::string_view kNewBillMark = "\u25CF ";
// The panel's count of unpaid bills: "1 unpaid bill", "3 unpaid bills, 2 new".
std::string unpaidBillsText(int unpaid, int unseen);

inline constexpr std::string_view kExitQuestion = "Exit Brisko?";
// The exit question; it tells how many unpaid bills stay open (they are kept for the next start).
std::string exitQuestion(std::size_t unpaidBills);
inline constexpr std::string_view kWrongPasswordMessage = "Wrong password";
// Under the password box while the cafe has no password yet: a new cafe's
// setup follows; a cafe already set up without one sets it in Configuration.
inline constexpr const char* kNoPasswordYetHint =
    "This cafe has no password yet: press Enter. Brisko then helps you set one.";
inline constexpr const char* kNoPasswordSetHint =
    "This cafe has no password yet: press Enter, then set one under Configuration.";

// The stations' port is taken by another program: the console runs on without stations.
std::string cannotListenMessage(int port);
// The cafe's key file `keyFile` cannot be read: `problem` says why.
std::string damagedKeyMessage(const std::string& keyFile, const std::string& problem);
// Configuration's line for the cafe's key when the cafe has none.
inline constexpr const char* kNoCafeKeyText = "None: every station connects without a key";

// A damaged "BriskoConfig" verifies no password: how the owner gets back in.
std::string damagedConfigurationMessage(const std::string& folder);
inline constexpr std::string_view kAlreadyRunningMessage = "Brisko is already running in this folder.";

} // namespace console
