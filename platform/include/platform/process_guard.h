#pragma once
// Keeps other processes of the same user out of this one: no debugger may
// attach (ptrace, `gdb -p`), no core dump is written, and /proc's view of its
// memory is closed to them. The station's lock calls it first thing, since the
// customer's programs run beside it. Any thread; call once, early.

namespace platform {

// False when the system refused (the process runs on unguarded).
bool forbidTracing();

// Whether this process may be traced by its own user; for tests.
bool traceable();

} // namespace platform
