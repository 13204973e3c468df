#pragma once
// Questions about the running processes that the tests of supervised
// programs ask. Thread contract: no state; any thread.

#include <string>
#include <sys/types.h>

namespace testsupport {

// A running (not yet reaped) child of `parent`, the one named `name` when a
// name is given; 0 when there is none.
pid_t childOf(pid_t parent, const std::string& name = {});

} // namespace testsupport
