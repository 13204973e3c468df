#pragma once
// brisko-admin backup: a copy of the console's data files that the console
// would open as they are, taken while it runs. Every file is read without a
// lock, as the console allows readers. The files the console appends to are
// cut to their last whole part (the journal to its last whole bill, the
// activity log to its last whole line), so a bill or line being written at
// that moment is left for the next backup rather than copied torn; the tables
// are read until two reads agree. Each copy is written beside its old copy,
// synced and renamed over it, readable by the owner only.

#include "admin_commands.h"

namespace store::admin {

int backUp(const std::filesystem::path& dir, const std::filesystem::path& target, Streams io);

} // namespace store::admin
