#include "link/mailbox_access.h"

namespace stationlink {

MailboxAccess::MailboxAccess(std::mutex* lock, MailboxWord* word) : word_(word ? word : &scratch_)
{
    if (lock && word)
        guard_ = std::unique_lock<std::mutex>(*lock);
}

} // namespace stationlink
