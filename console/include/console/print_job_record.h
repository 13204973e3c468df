#pragma once
// One finished print job, as the print monitor hands it to the console's tick.

#include <string>

namespace console {

struct PrintJobRecord {
    std::string printer;  // printer name, looked up in the printer table
    std::string machine;  // computer that printed ("\\NAME" or "NAME")
    std::string document; // document name
    int pages = 0;
    // The job's identity at its print server, handed back in confirmTaken().
    std::string key{};
};

} // namespace console
