#pragma once
// The print monitor as the console starts and stops it: it watches the print
// server for finished jobs and hands them over through PrintJobSource.

#include "console/print_job_source.h"

#include <string>

namespace console {

class PrintMonitorControl : public PrintJobSource {
public:
    // Starts watching the print server; returns when the monitor runs.
    virtual void start(const std::string& printServer) = 0;
    // Tells the monitor to stop and waits until it has ended.
    virtual void stop() = 0;
};

} // namespace console
