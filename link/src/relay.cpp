#include "link/relay.h"

#include "link/link_bits.h"

#include <initializer_list>

namespace stationlink {

namespace {

constexpr std::uint32_t flagOf(std::uint32_t constant) { return constant & ~LINK_PENDING; }

bool holds(std::uint32_t word, std::uint32_t constant) { return (word & flagOf(constant)) != 0; }

} // namespace

bool relayCommands(std::uint32_t& mailboxWord, std::uint32_t& linkWord)
{
    std::uint32_t moved = 0;
    if (holds(mailboxWord, CMD_UNLOCK) && !holds(linkWord, EVT_STARTED))
        moved |= CMD_UNLOCK;
    if (holds(mailboxWord, CMD_LOCK) && !holds(linkWord, EVT_STOPPED))
        moved |= CMD_LOCK;
    for (auto command : {CMD_SESSION_INFO, CMD_QUIT, CMD_SHUTDOWN})
        if (holds(mailboxWord, command))
            moved |= command;
    if (moved == 0)
        return false;
    linkWord |= moved;
    mailboxWord = clearFlags(mailboxWord, moved);
    return true;
}

bool relayEvents(std::uint32_t& linkWord, std::uint32_t& mailboxWord)
{
    std::uint32_t moved = 0;
    if (holds(linkWord, EVT_STARTED))
        moved |= EVT_STARTED;
    else if (holds(linkWord, EVT_STOPPED))
        moved |= EVT_STOPPED;
    if (holds(linkWord, EVT_CONNECTED))
        moved |= EVT_CONNECTED;
    else if (holds(linkWord, EVT_DISCONNECTED))
        moved |= EVT_DISCONNECTED;

    if ((linkWord & kEventFlags) != 0)
        linkWord = clearFlags(linkWord, kEventFlags);
    if (moved == 0)
        return false;
    if (holds(moved, EVT_DISCONNECTED))
        mailboxWord &= ~flagOf(EVT_CONNECTED);
    mailboxWord |= moved;
    return true;
}

} // namespace stationlink
