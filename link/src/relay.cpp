#include "relay.h"

#include "link/link_bits.h"

#include <initializer_list>

namespace stationlink {

bool relayCommands(std::uint32_t& mailboxWord, std::uint32_t& linkWord)
{
    std::uint32_t moved = 0;
    if (holdsFlag(mailboxWord, CMD_UNLOCK) && !holdsFlag(linkWord, EVT_STARTED))
        moved |= CMD_UNLOCK;
    if (holdsFlag(mailboxWord, CMD_LOCK) && !holdsFlag(linkWord, EVT_STOPPED))
        moved |= CMD_LOCK;
    for (auto command : {CMD_SESSION_INFO, CMD_QUIT, CMD_SHUTDOWN})
        if (holdsFlag(mailboxWord, command))
            moved |= command;
    if (moved == 0)
        return false;
    // The later of UNLOCK and LOCK is what the console wants now: one posted
    // earlier and not sent yet (the LOCK that locks a station as it connects,
    // the UNLOCK of a Start given up while the station was away) would undo it.
    // Posted together, both go, UNLOCK first.
    if (holdsFlag(moved, CMD_UNLOCK) && !holdsFlag(moved, CMD_LOCK))
        linkWord = clearCommandFlags(linkWord, flagOf(CMD_LOCK));
    if (holdsFlag(moved, CMD_LOCK) && !holdsFlag(moved, CMD_UNLOCK))
        linkWord = clearCommandFlags(linkWord, flagOf(CMD_UNLOCK));
    linkWord |= moved;
    mailboxWord = clearFlags(mailboxWord, moved);
    return true;
}

bool relayEvents(std::uint32_t& linkWord, std::uint32_t& mailboxWord)
{
    std::uint32_t moved = 0;
    if (holdsFlag(linkWord, EVT_STARTED))
        moved |= EVT_STARTED;
    else if (holdsFlag(linkWord, EVT_STOPPED))
        moved |= EVT_STOPPED;
    if (holdsFlag(linkWord, EVT_CONNECTED))
        moved |= EVT_CONNECTED;
    else if (holdsFlag(linkWord, EVT_DISCONNECTED))
        moved |= EVT_DISCONNECTED;

    if ((linkWord & kEventFlags) != 0)
        linkWord = clearFlags(linkWord, kEventFlags);
    if (moved == 0)
        return false;
    if (holdsFlag(moved, EVT_DISCONNECTED))
        mailboxWord &= ~flagOf(EVT_CONNECTED);
    mailboxWord |= moved;
    return true;
}

} // namespace stationlink
