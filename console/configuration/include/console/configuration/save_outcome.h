#pragma once

namespace console::configuration {

// What a page's Save did.
enum class SaveOutcome {
    Saved,      // the table was rebuilt and written to its file
    Refused,    // a field was refused; the operator was told and nothing changed
    NotWritten, // the table was rebuilt in memory but its file could not be written
};

} // namespace console::configuration
