#pragma once
// Installing program files: the program layout of this system, the default
// folders, folder creation, file copies that replace what is there, and the
// entry that starts a program when a user logs on. Every failure carries the
// system's own text for the error. No state; safe from any thread.
//
// A Windows build implements this header with "C:\Program Files\...",
// "Brisko.exe", "Tamblo.exe", "Hushtab.dll" and the "Tamblo" value under
// HKEY_CURRENT_USER "Software\Microsoft\Windows\CurrentVersion\Run".

#include "platform/result.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Which of the two programs an installation puts on the machine.
enum class InstallProgram { Console, Workstation };

// Done, or failed with the system's text for the error (empty when the
// failure has no system error behind it).
using FileResult = Result<void, std::string>;

// The program's own file, copied first: "brisko" or "tamblo".
std::string programFileName(InstallProgram program);
// The files that go beside it: "brisko-admin", or the task-key library
// "libHushtab.so" and "tamblo-supervisor", which brings the station back when killed.
std::vector<std::string> companionFileNames(InstallProgram program);
// What the logon start runs for the workstation: its supervisor, which starts
// the "tamblo" beside it.
std::string logonStartProgramName();
// The name of the folder it is installed in by default: "Brisko" or "Tamblo".
std::string programFolderName(InstallProgram program);
// The name under which the workstation is started at logon: "Tamblo".
std::string logonStartName();

// True when the process runs with the administrator's rights (root).
bool runsAsAdministrator();
// Where programs go by default: "/opt" for the administrator, "~/.local/opt" otherwise.
std::filesystem::path defaultProgramsFolder(bool administrator);
// Where logon start entries go: the system's autostart folder for the
// administrator (every user), "$XDG_CONFIG_HOME/autostart" otherwise.
std::filesystem::path logonStartFolder(bool administrator);

// The user's home folder: $HOME, else the account's; "/" when neither is known.
std::filesystem::path homeFolder();
// The current folder; empty when the system cannot tell.
std::filesystem::path currentFolder();
// The folder of the running program's own file (links resolved); empty when
// the system cannot tell.
std::filesystem::path programFolder();
// Creates `folder` (one level: its parent must exist); ok when it is already a
// folder, ENOTDIR's text when something else has its name.
[[nodiscard]] FileResult makeFolder(const std::filesystem::path& folder);
// Copies the regular file `from` to `to`, replacing a file already there.
// The copy is written beside `to` and then renamed over it, so a program
// that is running from `to` keeps running and no half-copied file is left.
[[nodiscard]] FileResult copyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);
// Writes the logon start entry `name` for `program` (an absolute path) into
// `folder`, creating the folder when needed, replacing an entry already there.
// The program is started with "--dir .": its files in the folder the desktop
// starts it in, the user's home, as a station set up by hand keeps them (the
// packaged station's service keeps them in system folders instead).
[[nodiscard]] FileResult writeLogonStart(const std::filesystem::path& folder, const std::string& name,
                                         const std::filesystem::path& program);
// The file that writeLogonStart writes: "folder/Tamblo.desktop".
std::filesystem::path logonStartEntryPath(const std::filesystem::path& folder, const std::string& name);
// The program a logon start entry runs, read back from the entry file as
// writeLogonStart writes it; nullopt when the file cannot be read or runs nothing.
std::optional<std::filesystem::path> logonStartProgram(const std::filesystem::path& entry);

} // namespace platform
