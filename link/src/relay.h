#pragma once
// How the listener moves flags between a station's two words. Both functions
// expect the caller to hold both locks.

#include <cstdint>

namespace stationlink {

// Moves the console's commands from the MailboxWord to the LinkWord: CMD_UNLOCK
// only while the LinkWord holds no unreported EVT_STARTED, CMD_LOCK only while
// it holds no unreported EVT_STOPPED, the other commands always. A command that
// is not moved stays in the mailbox until the console posts again. An UNLOCK
// moved on its own takes back a LOCK still waiting in the LinkWord, and a LOCK
// an UNLOCK. Returns true
// when anything moved (the station thread must then be told).
bool relayCommands(std::uint32_t& mailboxWord, std::uint32_t& linkWord);

// Moves the station's events from the LinkWord to the MailboxWord: EVT_STARTED,
// or else EVT_STOPPED; EVT_CONNECTED, or else EVT_DISCONNECTED. The event flags
// leave the LinkWord by the clearing rule; commands still waiting there stay.
// An EVT_DISCONNECTED withdraws an EVT_CONNECTED the console has not taken yet,
// so that the console never sees the older event last. Returns true when
// anything moved (the console must then be told).
bool relayEvents(std::uint32_t& linkWord, std::uint32_t& mailboxWord);

} // namespace stationlink
