#include "print/print_monitor_log.h"

namespace print {

int logPrintMonitorNotices(CupsPrintMonitor& monitor, store::ActivityLog& log)
{
    int written = 0;
    for (const std::string& line : monitor.takeNotices()) {
        log.writeLogLine(line);
        ++written;
    }
    return written;
}

} // namespace print
