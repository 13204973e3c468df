#pragma once
// HeadlessState: what a brisko-headless "state" reply says, read into the
// station rows, the open bills and the alarms. Plain values and functions
// without state: callable from any thread.

#include <ctime>
#include <string>
#include <vector>

namespace console::test {

struct HeadlessRow {
    std::string status, start, duration, access, extras, total;
    std::string note; // a command the station has not answered, when there is one
};

struct HeadlessLine {
    std::string station, description, price;
};

struct HeadlessBill {
    std::string caption;
    int station = 0;
    std::vector<HeadlessLine> lines;
};

struct HeadlessAlarm {
    int station = 0;
    int choice = 0;
    std::time_t time = 0;
};

struct HeadlessState {
    std::vector<HeadlessRow> rows; // rows[0] is station 1
    std::vector<HeadlessBill> bills;
    std::vector<HeadlessAlarm> alarms;
};

// The number a reply field holds; -1 when it holds none.
int fieldNumber(const std::string& text);
// Splits "a|b|c" at every '|'.
std::vector<std::string> splitFields(const std::string& text);
// Reads the lines of a "state" reply (without its "ok").
HeadlessState parseState(const std::vector<std::string>& lines);

} // namespace console::test
