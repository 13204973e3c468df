#pragma once
// One line on standard error for a system call that failed where no caller can
// be told through a result: a destructor, or a step that does its best and
// goes on. Safe from any thread (one write per line).

namespace platform {

// "<program>: <call> failed: <the system's text for err>".
void logSystemError(const char* call, int err);

// Closes `fd` and logs a failure as "close(<what>)". EINTR is no failure: on
// Linux the descriptor is closed then too. True when closed cleanly.
bool closeDescriptor(int fd, const char* what);

} // namespace platform
