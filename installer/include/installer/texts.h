#pragma once
// The installer's own texts, shown exactly as written here.

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

} // namespace installer
