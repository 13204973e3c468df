#include "link/mailbox_access.h"

#include "link/link_bits.h"

namespace stationlink {

MailboxAccess::MailboxAccess(std::mutex* lock, std::uint32_t* word) : word_(word ? word : &scratch_)
{
    if (lock && word)
        guard_ = std::unique_lock<std::mutex>(*lock);
}

void MailboxAccess::clear(std::uint32_t flags) { *word_ = clearFlags(*word_, flags); }

} // namespace stationlink
