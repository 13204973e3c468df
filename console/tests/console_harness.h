#pragma once
// Test pieces for the console engine: a temporary working folder with the
// console's data files, the activity log and the journal read back, and the
// addresses and day the tests share. The scripted services are in
// scripted_services.h, the console engine around them in console_rig.h.
// Plain functions, called on the test's thread.

#include "console/bill_panel.h"
#include "console/console_engine.h"
#include "console/configuration/configuration_dialog_model.h"
#include "console/print_monitor_control.h"
#include "console/station_state.h"
#include "console/station_table.h"

#include "fields/money_field.h"
#include "link/link_server.h"
#include "platform/clock.h"
#include "store/activity_log.h"
#include "store/bill_item.h"
#include "store/bill_journal.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/printer_table.h"
#include "store/rate_table.h"
#include "store/sale_item_table.h"
#include "testsupport/temp_folder.h"
#include "testsupport/whole_file.h"

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace console::test {

using namespace std::chrono_literals;

using testsupport::TempFolder;

// The console's address in the tests; the stations connect to it from their
// own 127.0.0.x addresses.
inline const platform::Ipv4Address kConsoleAddress{{127, 0, 0, 1}};

// A port on the console's address that was free a moment ago, for a console
// that must listen on the same port again after a restart.
std::uint16_t freePort();

// 127.0.0.(i + 2) for station index i.
platform::Ipv4Address stationAddress(int i);

// The console's data files, written before the console opens them.
void writeClients(const std::filesystem::path& folder, int count);
void writeClients(const std::filesystem::path& folder, const std::vector<store::ClientEntry>& entries);
// Rate blocks 00:30:00 x1 at 1.50, 00:15:00 x2 at 0.50, 01:00:00 "etc." at 2.00.
void writeStandardRates(const std::filesystem::path& folder);
void writeSaleItems(const std::filesystem::path& folder, const std::vector<store::SaleItem>& items);
void writePrinters(const std::filesystem::path& folder, const std::vector<store::PrinterEntry>& printers);

// The activity log's event texts (stamps cut off) and the raw journal.
std::vector<std::string> logEvents(const std::filesystem::path& folder);
bool hasEvent(const std::vector<std::string>& events, const std::string& event);
using testsupport::readFile;

// One journal entry read back.
struct JournalEntry {
    std::int32_t stamp = 0;
    std::vector<store::BillItem> lines; // station text is the number written
};
std::vector<JournalEntry> readJournal(const std::filesystem::path& folder);

// 12:00:00 local time on 1 March 2024.
std::time_t noonOfTestDay();

} // namespace console::test
