#pragma once
// The command language of the headless console: one command a line, each
// answered by its output lines and a last line "ok" or "error <why>".
//
//   select 1,3     stations selected by number (empty clears)
//   start stop swap bill items    the buttons ("items" is the item-panel button)
//   show K         open-bill selector entry K (from 0)
//   item R         item button of row R of the current page
//   price TEXT     keys the price prompt types from now on
//   quantity TEXT  the open quantity field's text, then Enter in it
//   tender TEXT    the tender field's text, then Enter in it (the tender check)
//   charge         CHARGE
//   alarm C        alarm choice C for the displayed station
//   enter escape   the keys
//   state          the station table, the unpaid bills and the armed alarms
//   quit           ends without the exit question
//
// Window thread only: the engine's own thread runs every command.

#include <string>
#include <vector>

namespace console {
class ConsoleEngine;
}

namespace console::headless {

class HeadlessServices;

class HeadlessCommands {
public:
    HeadlessCommands(ConsoleEngine& engine, HeadlessServices& services);

    // Runs one command line; returns its reply, the last line "ok" or "error <why>".
    std::vector<std::string> run(const std::string& line);
    // The window's answer to the engine's focus requests: a new request moves
    // the focus at once. Call after every engine call.
    void followFocus();
    // "quit" was given, or the console ended (Escape answered Yes).
    bool finished() const;

private:
    std::vector<std::string> state() const;
    bool pressButton(const std::string& name, std::string& why);

    ConsoleEngine& engine_;
    HeadlessServices& services_;
    unsigned focusSerial_ = 0;
    bool quit_ = false;
};

} // namespace console::headless
