#pragma once
// The texts the operator reads, for the console engine and its configuration
// dialog alike: row states, bill captions, button captions, the alarm choices,
// the receipt's titles, messages and questions. Rules compare some of these
// exact strings, so they live in one place.

#include <array>
#include <cstddef>
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
// Between the station numbers of a group's bill: "Comp#: 1, 2".
inline constexpr std::string_view kStationsSeparator = ", ";
// A kept bill whose caption begins so is read back as a station's bill.
inline constexpr std::string_view kStationCaptionStart = "Comp";
std::string stationOpenBillCaption(int stationNumber); // "Open Bill: Comp#: %d"
std::string stationBillCaption(int stationNumber);     // "Comp#: %d"
// A selector entry is its bill's caption with the time the bill came in,
// "Comp#: 3  (14:05)"; a label met again is numbered, "Open Bill #2".
std::string arrivedAtSuffix(const std::string& arrivedAt); // "  (%s)"
std::string repeatedLabelSuffix(int number);               // " #%d"

// The session buttons.
inline constexpr const char* kStartButtonCaption = "Start";
inline constexpr const char* kStopButtonCaption = "Stop";
inline constexpr const char* kBillButtonCaption = "Bill";
inline constexpr const char* kSwapButtonCaption = "Swap";
inline constexpr const char* kConfigurationButtonCaption = "Configuration...";

// The bill panel's title, labels and buttons ("&&" shows one "&").
inline constexpr const char* kBillTitle = "BILL";
inline constexpr const char* kTotalLabel = "TOTAL:";
inline constexpr const char* kTenderLabel = "TENDER:";
inline constexpr const char* kChargeCaption = "CHARGE";
inline constexpr const char* kPrintReceiptCaption = "Print Receipt\n&&\nCharge";
inline constexpr const char* kPreviousItemsCaption = " Previous";
inline constexpr const char* kNextItemsCaption = "Next ";

// Bill line descriptions: a sale item bought `quantity` times ("Coffee x 3")
// and a print job ("Pages (2): letter.pdf").
std::string quantityDescription(const std::string& description, long long quantity);
std::string printJobDescription(int pages, const std::string& document);

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
    "(none)", "00:10", "00:20", "00:30", "00:40", "00:50", "01:00", "02:00", "03:00", "04:00", "05:00", "06:00"};
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
// Why the cafe's key file `keyFile` is missing after a new key was to be made.
std::string keyNotKeptProblem(const std::string& keyFile);

// The printed receipt's column titles and closing rows.
inline constexpr const char* kReceiptDescriptionTitle = "Description";
inline constexpr const char* kReceiptPriceTitle = "Price";
inline constexpr const char* kReceiptTotalLabel = "Total:";
inline constexpr const char* kReceiptTenderedLabel = "Tendered:";
inline constexpr const char* kReceiptChangeLabel = "Change:";

// --- Configuration dialog ---------------------------------------------------------------

// The tabs, in order; a page's lines in the activity log are named by its caption.
inline constexpr std::array<const char*, 4> kConfigurationTabCaptions{"Clients", "POS Items", "Printers", "Rates"};
inline constexpr const char* kMismatchMessage = "Passwords do not match";
inline constexpr const char* kDayTotalUnavailable = "Report Unavailable";
inline constexpr const char* kNotSavedMessage = "The configuration could not be saved.";
// Names the longest password the record holds.
std::string passwordTooLongMessage(std::size_t longest); // "The password is too long: at most %d characters."

// The standard messages of integer edit fields.
inline constexpr const char* kEnterIntegerMessage = "Please enter an integer.";
std::string integerRangeMessage(int low, int high); // "Please enter an integer between 1 and 99."

// Asked before a page's list goes down by `count` rows, named as below.
std::string deleteRowsQuestion(int count, std::string_view rowsName); // "Delete last %d %s?"
inline constexpr std::string_view kClientRowsName = "clients";
inline constexpr std::string_view kPosItemRowsName = "POS Items";
inline constexpr std::string_view kPrinterRowsName = "Printers";
inline constexpr std::string_view kRateRowsName = "Rates";

// Clients page. The "Key" column: the station proved the cafe's key; it came
// without one and was turned away, or served as the owner allows; nothing seen yet.
inline constexpr const char* kKeyed = "key";
inline constexpr const char* kKeylessRefused = "no key: refused";
inline constexpr const char* kKeylessAllowed = "no key: allowed";
inline constexpr const char* kAllowedWithoutKey = "allowed without";
// The cells of a station row added by the count.
inline constexpr const char* kNamePlaceholder = "<Name>";
inline constexpr const char* kAddressPlaceholder = "<IP Address>";
inline constexpr const char* kKeylessNotKeptMessage =
    "Which stations may connect without the cafe's key could not be saved (BriskoKeyless).";
// Save refuses to remove or re-address station `stationNumber` while it is busy.
std::string busyStationMessage(int stationNumber);

// POS Items page: the price of an item without a fixed price, and a new row's cells.
inline constexpr const char* kVariesText = "Varies";
inline constexpr const char* kDescriptionPlaceholder = "<Description>";
inline constexpr const char* kPricePlaceholder = "<Price>";

// Printers page: a new row's cells.
inline constexpr const char* kPrinterNamePlaceholder = "<PrinterName>";
inline constexpr const char* kPagePricePlaceholder = "<Price Per Page>";

// Rates page. The "#" of the last row, which repeats; read back as well.
inline constexpr const char* kRepeatText = "etc.";
inline constexpr const char* kZeroDurationMessage =
    "Invalid Duration\r\n\r\nCannot have zero duration for last\r\nrate block, setting it to 00:00:01";
// The Rates page's own account of how a session is charged.
inline constexpr const char* kRatesExplained =
    "How a session is charged: the rows are used from the top. Each row charges its price for every "
    "block of its duration, as many times as its # says; the row whose # is etc. repeats for as long as "
    "the session lasts. A session is counted one minute short, and a block begun is charged whole. With 00:30:00, 1, "
    "1.50 and then 00:15:00, etc., "
    "0.50, a session of 40 minutes costs 1.50 + 0.50 = 2.00.";
inline constexpr const char* kRatesTestExplained = "Test below tries any duration.";

// --- First-run setup --------------------------------------------------------------------

inline constexpr const char* kFirstRunPasswordHint =
    "This cafe has no password yet: anyone at the counter can open it. Choose the password the "
    "operator types when Brisko starts, or leave both boxes empty and set it later in Configuration.";
inline constexpr const char* kEmptyPasswordNote = "The password stays empty for now.";
// The rate presets.
inline constexpr const char* kQuarterHoursCaption = "By the quarter hour";
inline constexpr const char* kHalfHourThenQuartersCaption = "A first half hour, then by the quarter hour";
inline constexpr const char* kWholeHoursCaption = "By the whole hour";
// Why a station is not added.
std::string tooManyStationsMessage(int most); // "A cafe has at most %d stations."
std::string notAnAddressMessage(const std::string& typed);
std::string addressTakenMessage(const std::string& computerName, const std::string& address);
inline constexpr const char* kNameTooLongMessage = "The station's name is too long.";
// The name a station gets when the owner types none.
std::string suggestedStationName(int number); // "PC %d"
// Why the hour's price is not taken.
std::string notAPriceMessage(const std::string& typed);

} // namespace console
