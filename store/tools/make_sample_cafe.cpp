// Writes the sample cafe folder (examples/cafe): a few stations, the rate table
// of the worked example, sale items, a printer, a journal of bills over two days
// and a configuration with the empty password and two receipt lines.
// With --demo it writes the demonstration's folder instead (examples/demo):
// three stations on this machine's loopback addresses 127.0.0.2 to 127.0.0.4,
// so that three station programs on one computer can play the cafe, and no bills yet.
//
//   make_sample_cafe [--demo] FOLDER

#include "platform/clock.h"
#include "platform/local_time.h"
#include "store/bill_journal.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/printer_table.h"
#include "store/rate_table.h"
#include "store/sale_item_table.h"

#include <fstream>
#include <string_view>
#include <iostream>

namespace {

class PrintingNotifier : public store::StoreNotifier {
public:
    void showMessage(const std::string& text) override { std::cerr << text << "\n"; }
};

std::time_t at(int year, int month, int day, int hour, int minute)
{
    return platform::localDateTime(year, month, day, hour, minute).value_or(0);
}

bool writeConfiguration(const std::filesystem::path& folder)
{
    // A fixed seed keeps the sample file the same from one generation to the next.
    auto record = store::PasswordRecord::build("", 70000);
    if (!record)
        return false;
    auto bytes = store::Configuration::encode(*record, "Brisko Corner Cafe", "12 Harbour Street - thank you!");
    std::ofstream out(folder / "BriskoConfig", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    const bool demo = argc == 3 && std::string_view(argv[1]) == "--demo";
    const std::string_view last = argc > 1 ? argv[argc - 1] : "";
    if (last == "--help" || last == "-h") {
        std::cout << "Usage: make_sample_cafe [--demo] FOLDER\nWrites a sample cafe's data files into FOLDER.\n";
        return 0;
    }
    // An option is never taken for the folder.
    if ((argc != 2 && !demo) || last.starts_with("-")) {
        std::cerr << "Usage: make_sample_cafe [--demo] FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[argc - 1];
    std::filesystem::create_directories(folder);
    for (const char* name : {"BriskoConfig", "BriskoClient", "BriskoRate", "BriskoPOS", "BriskoPrinter", "BriskoBills"})
        std::filesystem::remove(folder / name);
    PrintingNotifier notifier;
    bool ok = writeConfiguration(folder);

    store::ClientTable clients(folder, notifier);
    ok = ok && clients.load();
    if (demo)
        clients.entries() = {{"PC01", {{127, 0, 0, 2}}}, {"PC02", {{127, 0, 0, 3}}}, {"PC03", {{127, 0, 0, 4}}}};
    else
        clients.entries() = {{"PC01", {{192, 168, 1, 11}}},
                             {"PC02", {{192, 168, 1, 12}}},
                             {"PC03", {{192, 168, 1, 13}}},
                             {"PC04", {{192, 168, 1, 14}}}};
    ok = ok && clients.save();

    store::RateTable rates(folder);
    ok = ok && rates.load();
    rates.rows() = {{"00:30:00", 1, 1.50}, {"00:15:00", 2, 0.50}, {"01:00:00", store::kRepeatBlock, 2.00}};
    ok = ok && rates.save();

    store::SaleItemTable items(folder);
    ok = ok && items.load();
    items.items() = {{"Coffee", 1.50, true}, {"Tea & Cake", 3.20, true}, {"Soda", 1.00, true}, {"Repairs", 0.0, false}};
    if (demo)
        items.items().insert(items.items().end(), {{"Sandwich", 2.80, true}, {"USB stick", 6.00, true}});
    ok = ok && items.save();

    store::PrinterTable printers(folder);
    ok = ok && printers.load();
    if (demo) // the counter computer's own print server
        printers.entries() = {{"", "Laser", 0.10}};
    else
        printers.entries() = {{"FRONTDESK", "Laser", 0.10}, {"FRONTDESK", "Colour", 0.50}};
    ok = ok && printers.save();

    if (demo)
        return ok ? 0 : 1;

    platform::ManualClock clock(0);
    store::BillJournal journal(folder, clock, notifier);
    ok = ok && journal.open();
    auto bill = [&](std::time_t when, const std::vector<store::BillItem>& lines) {
        clock.set(when);
        ok = ok && journal.append(lines);
    };
    bill(at(2024, 6, 14, 10, 5), {{"1", "00 hrs 45 mins 10 secs", "2.00"}, {"1", "Coffee", "1.50"}});
    bill(at(2024, 6, 14, 14, 30), {{"3", "01 hrs 02 mins 00 secs", "4.50"}, {"3", "Pages (3): report.pdf", "0.30"}});
    bill(at(2024, 6, 15, 9, 15), {{"2", "00 hrs 20 mins 05 secs", "1.50"}});
    bill(at(2024, 6, 15, 11, 40),
         {{"4", "Tea & Cake", "3.20"}, {"4", "Repairs", "15.00"}, {"4", "Pages (1): ticket, \"final\".pdf", "0.10"}});
    if (!ok) {
        std::cerr << "make_sample_cafe: could not write every file in " << folder << "\n";
        return 1;
    }
    return 0;
}
