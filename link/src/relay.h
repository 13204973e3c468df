#pragma once
// How the listener moves flags between a station's two words. Both functions
// expect the caller to hold both locks.

#include "link/station_words.h"

namespace stationlink {

// Moves the console's commands from the MailboxWord to the LinkWord: Unlock
// only while the LinkWord holds no unreported Started, Lock only while it holds
// no unreported Stopped, the other commands always. A command that
// is not moved stays in the mailbox until the console posts again. An UNLOCK
// moved on its own takes back a LOCK still waiting in the LinkWord, and a LOCK
// an UNLOCK. Returns true
// when anything moved (the station thread must then be told).
bool relayCommands(MailboxWord& mailboxWord, LinkWord& linkWord);

// Moves the station's events from the LinkWord to the MailboxWord: Started, or
// else Stopped; Connected, or else Disconnected. The events leave the LinkWord
// by the clearing rule; commands still waiting there stay. A Disconnected
// withdraws a Connected the console has not taken yet,
// so that the console never sees the older event last. Returns true when
// anything moved (the console must then be told).
bool relayEvents(LinkWord& linkWord, MailboxWord& mailboxWord);

} // namespace stationlink
