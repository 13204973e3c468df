#pragma once
// How many pages a finished job is charged for.

#include "print/cups_job.h"

namespace print {

// A completed job: the spool data's own count times the copies when the
// spool gave one (> 0), else the impressions CUPS counted, else its media
// sheets. A cancelled or aborted job: only the impressions that came out.
int chargeablePages(const CupsJob& job, int spoolPages);

} // namespace print
