#include "job_pages.h"

#include <algorithm>

namespace print {

int chargeablePages(const CupsJob& job, int spoolPages)
{
    if (job.state == JobState::Cancelled || job.state == JobState::Aborted)
        return std::max(job.impressionsCompleted, 0);
    if (job.state != JobState::Completed)
        return 0;
    if (spoolPages > 0)
        return spoolPages * std::max(job.copies, 1);
    if (job.impressionsCompleted > 0)
        return job.impressionsCompleted;
    return std::max(job.sheetsCompleted, 0);
}

} // namespace print
