#pragma once
// One job as the print server lists it (IPP Get-Jobs).
// A plain value type.

#include <ctime>
#include <string>

namespace print {

// IPP job-state values.
enum class JobState { Pending = 3, Held = 4, Processing = 5, Stopped = 6, Cancelled = 7, Aborted = 8, Completed = 9 };

struct CupsJob {
    int id = 0;
    std::string printer;  // queue name (last part of job-printer-uri)
    std::string machine;  // job-originating-host-name
    std::string document; // job-name
    std::time_t created = 0;
    JobState state = JobState::Pending;
    int copies = 1;
    int impressionsCompleted = 0;
    int sheetsCompleted = 0;

    bool finished() const { return state >= JobState::Cancelled; }
};

} // namespace print
