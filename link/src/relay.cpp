#include "relay.h"

#include <initializer_list>

namespace stationlink {

bool relayCommands(MailboxWord& mailboxWord, LinkWord& linkWord)
{
    Commands moved;
    if (mailboxWord.holds(Command::Unlock) && !linkWord.holds(Event::Started))
        moved |= Command::Unlock;
    if (mailboxWord.holds(Command::Lock) && !linkWord.holds(Event::Stopped))
        moved |= Command::Lock;
    for (Command command : {Command::SessionInfo, Command::Quit, Command::Shutdown})
        if (mailboxWord.holds(command))
            moved |= command;
    if (moved.empty())
        return false;
    // The later of UNLOCK and LOCK is what the console wants now: one posted
    // earlier and not sent yet (the LOCK that locks a station as it connects,
    // the UNLOCK of a Start given up while the station was away) would undo it.
    // Posted together, both go, UNLOCK first.
    if (moved.has(Command::Unlock) && !moved.has(Command::Lock))
        linkWord.withdraw(Command::Lock);
    if (moved.has(Command::Lock) && !moved.has(Command::Unlock))
        linkWord.withdraw(Command::Unlock);
    linkWord.post(moved);
    mailboxWord.withdraw(moved);
    return true;
}

bool relayEvents(LinkWord& linkWord, MailboxWord& mailboxWord)
{
    StationEvents moved;
    if (linkWord.holds(Event::Started))
        moved |= Event::Started;
    else if (linkWord.holds(Event::Stopped))
        moved |= Event::Stopped;
    if (linkWord.holds(Event::Connected))
        moved |= Event::Connected;
    else if (linkWord.holds(Event::Disconnected))
        moved |= Event::Disconnected;

    linkWord.clearEvents();
    if (moved.empty())
        return false;
    if (moved.has(Event::Disconnected))
        mailboxWord.forget(Event::Connected);
    mailboxWord.deliver(moved);
    return true;
}

} // namespace stationlink
