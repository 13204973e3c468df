// brisko-admin: the owner's read-only view of the console's data files.

#include "store/data_folder.h"
#include "admin_commands.h"
#include "backup.h"
#include "reset_password.h"
#include "takings_command.h"
#include "brisko_version.h"

#include "store/local_day.h"

#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: brisko-admin [--dir DIR] COMMAND\n"
    "Shows the console's data files in DIR (default: the console's own folder, the one\n"
    "remembered with brisko --dir DIR --remember, else ~/.local/share/brisko) without\n"
    "changing or locking them; reset-password alone writes.\n"
    "\n"
    "Commands:\n"
    "  charge SECONDS                 access charge for SECONDS elapsed, from BriskoRate\n"
    "  rates                          rate blocks: number, duration, count or etc., price\n"
    "  clients                        stations: number, computer name, IP address\n"
    "  items                          sale items: number, description, price, fixed or varies\n"
    "  printers                       printers: number, server, printer, page price\n"
    "  journal [--csv]                every charged bill line: time, station, description, price\n"
    "  day-total [--date YYYY-MM-DD]  the day's takings (default today)\n"
    "  report [--by GROUP] [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--csv]\n"
    "                                 takings, bills and session time of the days from\n"
    "                                 --from (default the first of this month) to --to\n"
    "                                 (default today), by GROUP: day (default), week,\n"
    "                                 month, station, item (what was sold) or hour (with\n"
    "                                 how many stations were in use on average)\n"
    "  open                           unpaid and open bills: caption, station, description, price\n"
    "  check                          reports every damaged file; exit status 1 if any\n"
    "  backup FOLDER                  copies every data file into FOLDER, also while the\n"
    "                                 console runs; check --dir FOLDER proves the copy\n"
    "  reset-password                 sets the empty password (receipt lines kept) when\n"
    "                                 BriskoConfig is damaged or the password is lost;\n"
    "                                 only while Brisko is closed, logged in BriskoLog\n"
    "\n"
    "  --help                         show this text\n"
    "  --version                      show the version\n";

int usage()
{
    std::cerr << kUsage;
    return 2;
}

std::optional<std::int32_t> parseSeconds(const std::string& text)
{
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

int main(int argc, char** argv)
{
    // The console's folder unless told otherwise, never the folder this runs in.
    std::filesystem::path dir = store::chooseDataFolder(std::nullopt, store::UserFolders::fromEnvironment()).path;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--version") {
            std::cout << "brisko-admin " BRISKO_VERSION "\n";
            return 0;
        }
        if (arg == "--dir") {
            if (++i == argc)
                return usage();
            dir = argv[i];
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty())
        return usage();

    store::admin::Streams io{std::cout, std::cerr};
    const std::string command = words[0];
    const std::vector<std::string> rest(words.begin() + 1, words.end());

    if (command == "charge") {
        auto seconds = rest.size() == 1 ? parseSeconds(rest[0]) : std::nullopt;
        return seconds ? store::admin::showCharge(dir, *seconds, io) : usage();
    }
    if (command == "journal") {
        if (rest.size() > 1 || (rest.size() == 1 && rest[0] != "--csv"))
            return usage();
        return store::admin::showJournal(dir, rest.size() == 1, io);
    }
    if (command == "day-total") {
        if (rest.empty())
            return store::admin::showDayTotal(dir, std::nullopt, io);
        if (rest.size() == 2 && rest[0] == "--date" && store::LocalDay::parse(rest[1]))
            return store::admin::showDayTotal(dir, rest[1], io);
        return usage();
    }
    if (command == "report") {
        const auto request = store::admin::parseReportRequest(rest);
        return request ? store::admin::showReport(dir, *request, io) : usage();
    }
    if (command == "backup")
        return rest.size() == 1 ? store::admin::backUp(dir, rest[0], io) : usage();
    if (!rest.empty())
        return usage();
    if (command == "rates")
        return store::admin::showRates(dir, io);
    if (command == "clients")
        return store::admin::showClients(dir, io);
    if (command == "items")
        return store::admin::showItems(dir, io);
    if (command == "printers")
        return store::admin::showPrinters(dir, io);
    if (command == "open")
        return store::admin::showOpenBills(dir, io);
    if (command == "check")
        return store::admin::checkFiles(dir, io);
    if (command == "reset-password")
        return store::admin::resetPassword(dir, io);
    return usage();
}
