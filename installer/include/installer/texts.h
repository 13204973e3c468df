#pragma once
// The installer's own texts, shown exactly as written here.

#include <string>

namespace installer {

inline constexpr const char* kWindowTitle = "Installer";
inline constexpr const char* kBackCaption = "< Back";
inline constexpr const char* kNextCaption = "Next >";
inline constexpr const char* kInstallCaption = "Install";
inline constexpr const char* kRemoveCaption = "Remove";
inline constexpr const char* kCancelCaption = "Cancel";

inline constexpr const char* kStep1Heading = "Step 1 - Choose application to install";
inline constexpr const char* kStep2Heading = "Step 2 - Set installation folder";
inline constexpr const char* kStep3Heading = "Step 3 - Verify Installation options";
inline constexpr const char* kConsoleChoice = "Brisko - Internet Cafe Management";
inline constexpr const char* kWorkstationChoice = "Tamblo - Internet Cafe Workstation";
inline constexpr const char* kRemovalChoice = "Remove an installation";
inline constexpr const char* kFolderLabel = "Install folder:";

inline constexpr const char* kInstallSuccessful = "Installation successful";
inline constexpr const char* kInstallFailed = "Installation failed";
inline constexpr const char* kRemovalSuccessful = "Removal successful";
inline constexpr const char* kRemovalFailed = "Removal failed";

// Step 3's summary of what Install or Remove is about to do; its lines end with "\r\n".
inline constexpr const char* kInstallSummaryHeading = "Installation\r\n-----------\r\n";
inline constexpr const char* kConsoleSummary = "Brisko - Server";
inline constexpr const char* kWorkstationSummary = "Tamblo - Workstation";
inline constexpr const char* kRemovalSummaryHeading = "Removal\r\n-------\r\n";
std::string summaryFolderLine(const std::string& folder); // "Installation folder: %s\r\n"
inline constexpr const char* kNothingFoundLine = "Nothing that this installer puts there was found.\r\n";
inline constexpr const char* kFilesToRemoveLine = "Files to remove:\r\n";
inline constexpr const char* kFolderGoesTooLine = "The folder itself goes too when nothing else is left in it.\r\n";

// Why the folder typed on step 2 is refused.
inline constexpr const char* kNoFolderGiven = "No installation folder is given.";
inline constexpr const char* kFolderHoldsControlCharacter =
    "The installation folder holds a line break or another control character.";
inline constexpr const char* kHomeFolderUnknown =
    "The home folder is not known: type the installation folder's full path.";
std::string notAFullPathMessage(const std::string& typed);
// A removal refused before anything is looked at.
std::string sourceFolderMessage(const std::string& folder);   // the programs are installed from there
std::string systemPackagesMessage(const std::string& folder); // under /usr, not /usr/local

// Why the station is not offered for installation.
std::string stationServiceMessage(const std::string& unit);
std::string counterCafeMessage(const std::string& cafeFolder);
std::string systemLogonEntryMessage(const std::string& entry);

// Why an installation or removal failed; `why` is the system's reason.
inline constexpr const char* kSourceFolderUnknown = "The folder of the programs to install is not known.";
std::string cannotMakeFolderMessage(const std::string& folder, const std::string& why);
std::string cannotReadMessage(const std::string& file, const std::string& why);
std::string cannotCopyMessage(const std::string& from, const std::string& to, const std::string& why);
std::string cannotWriteLogonEntryMessage(const std::string& entry, const std::string& why);
std::string nothingToRemoveMessage(const std::string& folder);
std::string cannotRemoveMessage(const std::string& file, const std::string& why);
std::string cannotRemoveFolderMessage(const std::string& folder, const std::string& why);

// Refused command lines, after "<program>: ".
inline constexpr const char* kFromNeedsFolder = "--from needs a folder";
std::string unknownOptionMessage(const std::string& option); // "unknown option: %s"
inline constexpr const char* kProgramFolderUnknown =
    "the folder of this program is not known; name the programs' folder with --from FOLDER";
inline constexpr const char* kNotAFolder = "not a folder";
std::string fromFolderMessage(const std::string& from, const std::string& why); // "--from %s: %s"

} // namespace installer
