#pragma once
// The texts the customer and the station's owner read: the locked screen, the
// session panel, the end-session question, the setup dialog, and the messages
// tamblo and tamblo-setup print. The log lines of Tamblo.log are a file format
// and stay with the code that writes them.
//
// Thread contract: constants and functions without state; any thread.

#include <string>

namespace client {

// --- The station's window ---------------------------------------------------------------

// The title of the station's windows and message boxes.
inline constexpr const char* kWindowTitle = "Tamblo";
// The locked screen, and what it says instead where the lock cannot hold.
inline constexpr const char* kLockedText = "STATION LOCKED";
inline constexpr const char* kNeedsX11Text = "This station needs an X11 session";

// The session panel; its button texts break lines with "\r\n".
inline constexpr const char* kSessionPanelTitle = "Session Information";
inline constexpr const char* kSetupPanelTitle = "SETUP";
inline constexpr const char* kExtrasLabel = "Extras";
inline constexpr const char* kTotalLabel = "Total";
inline constexpr const char* kEndSessionText = "Click HERE to\r\nEND SESSION";
inline constexpr const char* kExitSetupText = "EXIT SETUP";
// The toggle button: what a click does with the panel now in front or behind.
std::string panelToggleText(bool panelOnTop);

// The end-session dialog, and its title and question while setup is open.
inline constexpr const char* kEndSessionTitle = "END SESSION?";
inline constexpr const char* kEndSessionQuestion = "ARE YOU FINISHED AND WISH TO END THE SESSION?";
inline constexpr const char* kExitSetupTitle = "Lock Station";
inline constexpr const char* kExitSetupQuestion = "EXIT SETUP?";
inline constexpr const char* kEndSessionButton = "End Session";

// Dialog buttons.
inline constexpr const char* kOkButton = "OK";
inline constexpr const char* kCancelButton = "Cancel";

// --- The setup dialog -------------------------------------------------------------------

inline constexpr const char* kSetupDialogTitle = "Tamblo configuration";
inline constexpr const char* kServerAddressLabel = "Server IP Address:";
inline constexpr const char* kCafeKeyLabel = "Cafe's key:";
inline constexpr const char* kCafeKeyPlaceholder = "XXXXX-XXXXX-XXXXX-XXXXX-XXXXX";
inline constexpr const char* kCafeKeySet = "The cafe's key is set.";
inline constexpr const char* kNoCafeKey = "No key: type the key the console shows.";
inline constexpr const char* kNewCodeLabel = "New setup code:";
inline constexpr const char* kRepeatCodeLabel = "Repeat the new code:";
inline constexpr const char* kOwnersCodeInForce = "The owner's setup code is in force.";
inline constexpr const char* kBuiltInCodeInForce =
    "The built-in setup code is in force: set your own (maintenance needs it).";
// "&" marks the shortcut key.
inline constexpr const char* kMaintenanceCaption = "&Maintenance: show the desktop until setup ends";

// Why a new setup code is refused or not kept (the dialog and tamblo-setup).
inline constexpr const char* kCodeLengthMessage = "The setup code must be 4 to 32 characters long.";
inline constexpr const char* kCodeCharactersMessage =
    "The setup code may hold letters, digits and signs, but no spaces or accents.";
inline constexpr const char* kCodesDifferMessage = "The two setup codes differ.";
inline constexpr const char* kCodeNotSavedMessage = "The setup code could not be saved.";

// The cafe's key: refused when typed, not kept in `keyFile`, or kept there.
inline constexpr const char* kNotTheKeyMessage = "That is not the cafe's key.";
std::string keyNotSavedMessage(const std::string& keyFile); // "The cafe's key could not be saved in %s."
std::string keyKeptMessage(const std::string& keyFile);     // "The cafe's key is kept in %s."

// --- Command lines ----------------------------------------------------------------------

// Refused arguments of tamblo, tamblo-setup and tamblo-supervisor.
std::string needsValueMessage(const std::string& option);    // "%s needs a value"
std::string unknownOptionMessage(const std::string& option); // "unknown option: %s"
std::string notAnAddressMessage(const std::string& value);   // "not an IPv4 address: %s"
std::string notAnAreaMessage(const std::string& value);      // "not an area WxH+X+Y: %s"
std::string notAPortMessage(const std::string& value);       // "not a port number: %s"
std::string noSuchFolderMessage(const std::string& folder);  // "no such folder: %s"
inline constexpr const char* kTemplateWithoutKioskUser = "--kiosk-template needs --kiosk-user";
std::string kioskUserIsStationMessage(const std::string& user);

// tamblo-setup: refusals and failures (after "tamblo-setup: "), and what it did.
inline constexpr const char* kCodeTwiceMessage = "--code and --code-from-stdin cannot be given together";
inline constexpr const char* kAnyAddressMessage = "0.0.0.0 is no console's address";
inline constexpr const char* kNothingToDoMessage = "nothing to do";
std::string stationHoldsFileMessage(const std::string& file);
std::string addressNotWrittenMessage(const std::string& file);
std::string codeNotWrittenMessage(const std::string& file);
std::string keyNotGivenMessage(const std::string& keyFile);
std::string addressKeptMessage(const std::string& address, const std::string& file);
inline constexpr const char* kCodeSetMessage = "The setup code is set.";
inline constexpr const char* kRestartForChangeMessage =
    "A running station takes the change when it starts again (systemctl restart tamblo).";

// tamblo-setup --show, a heading and a value a line. The package's
// configuration script reads the address from the "Console address: " line.
inline constexpr const char* kShownAddressHeading = "Console address: ";
inline constexpr const char* kShownCodeHeading = "Setup code: ";
inline constexpr const char* kShownKeyHeading = "Cafe's key: ";
inline constexpr const char* kShownNotSet = "not set";
inline constexpr const char* kShownCodeSet = "set";
inline constexpr const char* kShownCodeDamaged = "damaged, no code opens setup";
inline constexpr const char* kShownCodeBuiltIn = "not set, no code opens setup";
inline constexpr const char* kShownKeyKept = "kept";

} // namespace client
