#pragma once
// Writes the owner's first-run choices into the cafe's files, as Save and OK
// in Configuration would: the password and receipt lines to "BriskoConfig",
// the stations to "BriskoClient" (their workers started), the rates to
// "BriskoRate", each change logged in the activity log as Configuration logs
// it. Window thread only.

#include "console/configuration/audit_log.h"
#include "console/configuration/first_run_setup.h"
#include "console/configuration/station_workers.h"

namespace store {
class ClientTable;
class Configuration;
class RateTable;
} // namespace store

namespace console {

struct FirstRunTargets {
    store::Configuration& configuration;
    store::ClientTable& clients;
    store::RateTable& rates;
    configuration::StationWorkers& workers;
    configuration::AuditLog log;
};

// False when a file could not be written; what was written stays.
[[nodiscard]] bool writeFirstRunSetup(const configuration::FirstRunSetup& setup, FirstRunTargets targets);

} // namespace console
