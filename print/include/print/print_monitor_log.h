#pragma once
// Brings the print monitor's notices (server unreachable, server back) into
// the console's activity log. Window thread only, like the log.

#include "print/cups_print_monitor.h"
#include "store/activity_log.h"

namespace print {

// Writes the notices since the last call; the count written.
int logPrintMonitorNotices(CupsPrintMonitor& monitor, store::ActivityLog& log);

} // namespace print
