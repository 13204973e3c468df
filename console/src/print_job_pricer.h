#pragma once
// Prices a finished print job for the bill of the station that sent it: the
// station is found by its computer name or its address as the print server
// recorded it, the page price by the printer. Window thread only.

#include "console/bill_panel.h"
#include "console/print_job_record.h"

#include <optional>

namespace store {
class ClientTable;
class PrinterTable;
} // namespace store

namespace console {

class StationBoard;

class PrintJobPricer {
public:
    PrintJobPricer(const store::ClientTable& clients, const store::PrinterTable& printers, const StationBoard& board);

    // The line for the station's bill, or nullopt when the job is charged to nobody.
    std::optional<PrintCharge> price(const PrintJobRecord& job) const;

private:
    const store::ClientTable& clients_;
    const store::PrinterTable& printers_;
    const StationBoard& board_;
};

} // namespace console
