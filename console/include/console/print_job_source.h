#pragma once
// Where the money tick takes finished print jobs from (the print monitor).

#include "console/print_job_record.h"

#include <vector>

namespace console {

class PrintJobSource {
public:
    virtual ~PrintJobSource() = default;
    // The complete jobs not handed over yet; each is returned once.
    virtual std::vector<PrintJobRecord> takeFinishedJobs() = 0;
};

} // namespace console
