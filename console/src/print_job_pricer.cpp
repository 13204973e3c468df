#include "print_job_pricer.h"

#include "console/money_text.h"
#include "console/texts.h"
#include "platform/ipv4.h"
#include "station_board.h"
#include "store/client_table.h"
#include "store/printer_table.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace console {

namespace {

// The station (number from 1) that sent a print job, or -1. Print servers often
// record the sending machine by its IPv4 address rather than its name, so an
// address that equals a station's address counts too. The counter computer
// itself ("localhost") is no station, and a station without an address set
// (0.0.0.0) never matches by address.
int printingStation(const store::ClientTable& clients, const std::string& machine)
{
    std::string bare = machine.starts_with("\\\\") ? machine.substr(2) : machine;
    std::transform(bare.begin(), bare.end(), bare.begin(), [](unsigned char c) { return std::tolower(c); });
    if (bare == "localhost")
        return -1;
    if (int n = clients.findByComputerName(machine); n >= 1)
        return n;
    const auto address = platform::Ipv4Address::parse(bare);
    if (!address || address->isAny())
        return -1;
    const int i = clients.findByAddress(*address);
    return i < 0 ? -1 : i + 1;
}

} // namespace

PrintJobPricer::PrintJobPricer(const store::ClientTable& clients, const store::PrinterTable& printers,
                               const StationBoard& board)
    : clients_(clients), printers_(printers), board_(board)
{
}

std::optional<PrintCharge> PrintJobPricer::price(const PrintJobRecord& job) const
{
    const int n = printingStation(clients_, job.machine);
    const double pagePrice = printers_.lookupPagePrice(job.printer);
    if (n < 1 || n > board_.stationCount() || pagePrice < 0.0)
        return std::nullopt;
    const double amount = job.pages * pagePrice;
    return PrintCharge{n,
                       {std::to_string(n), printJobDescription(job.pages, job.document), priceText(amount)},
                       amount,
                       board_.isPhase(n - 1, Phase::Started),
                       board_.station(n - 1).sessionSerial};
}

} // namespace console
