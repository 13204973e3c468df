#pragma once
// Where the money tick takes finished print jobs from (the print monitor).

#include "console/print_job_record.h"

#include <string>
#include <vector>

namespace console {

class PrintJobSource {
public:
    virtual ~PrintJobSource() = default;
    // The complete jobs not handed over yet; each is returned once while the
    // source runs, and again after a restart until it is confirmed.
    virtual std::vector<PrintJobRecord> takeFinishedJobs() = 0;
    // The jobs with these keys are charged and kept on the console's disk:
    // they are never handed over again, not even after a restart.
    virtual void confirmTaken(const std::vector<std::string>& keys) = 0;
};

} // namespace console
