#pragma once
// The customers' account of a station, made clean between two customers:
// every process it runs is ended and its home folder is put back as the
// owner's template has it, so that nothing one customer left (open windows,
// files, browser history, a program started to outlive the session) reaches
// the next. Needs root. No state; call from one thread at a time.

#include "platform/file_owner.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Kills every process running as `uid` (real, effective or saved), root
// sending every signal itself, again and again until none is left or
// `patience` has passed, so that a program that keeps starting others is
// ended too. How many are left.
int endProcessesOf(uid_t uid, std::chrono::milliseconds patience = std::chrono::seconds(3));

// Deletes what the account left in shared folders: every entry directly in
// one of `folders` that the account owns (a link itself, never what it
// points to). How many could not be deleted.
int removeEntriesOf(uid_t uid, const std::vector<std::filesystem::path>& folders);

// Moves the home folder of `account` aside, makes a fresh one as a copy of
// `templateFolder` (every file given to the account) and then deletes the
// old one; whatever of it cannot be deleted stays aside, never in the new
// home. Call only once no process of the account is left. Refused for root, for a home that is
// "/" or not an absolute path, and for a template inside the home. Why it
// failed, or nullopt.
std::optional<std::string> restoreHome(const Account& account, const std::filesystem::path& templateFolder);

} // namespace platform
