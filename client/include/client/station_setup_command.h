#pragma once
// `tamblo-setup`: the owner's settings of an installed station, set from a
// root shell or the package's installation questions rather than at the
// locked screen: the console's address ("TambloConfig"), the setup code
// ("TambloSetup") and the cafe's key ("TambloKey"). Each file changed is
// handed to the owner of its folder, the station's service account, which
// keeps it open while the station runs.
//
// Thread contract: no state; any thread.

#include <iosfwd>
#include <string>
#include <vector>

namespace client {

// Runs the command with the arguments after its name; `in` gives the code
// for --code-from-stdin. Returns the exit status: 0 done, 1 a file could not
// be written, 2 the arguments were refused.
int runStationSetup(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

std::string stationSetupUsage();

} // namespace client
