#include "first_run_writer.h"

#include "console/configuration/configuration_dialog_model.h"
#include "console/configuration/page_text.h"
#include "console/texts.h"

#include "store/client_table.h"
#include "store/configuration.h"
#include "store/rate_table.h"
#include "store/text_number.h"

namespace console {

namespace {

bool writeConfiguration(const configuration::FirstRunSetup& setup, FirstRunTargets& targets)
{
    const bool newPassword = setup.password().has_value();
    const bool newLines = !setup.receiptLine1().empty() || !setup.receiptLine2().empty();
    if (!newPassword && !newLines)
        return true;
    if (newPassword && !targets.configuration.setPassword(*setup.password()))
        return false;
    if (newLines) {
        targets.configuration.setReceiptLine1(setup.receiptLine1());
        targets.configuration.setReceiptLine2(setup.receiptLine2());
    }
    if (!targets.configuration.save())
        return false;
    if (newPassword)
        targets.log("PASSWORD CHANGED,");
    if (newLines)
        targets.log("RECEIPT CHANGED," + setup.receiptLine1() + "," + setup.receiptLine2());
    return true;
}

bool writeStations(const configuration::FirstRunSetup& setup, FirstRunTargets& targets)
{
    if (setup.stations().empty())
        return true;
    auto& entries = targets.clients.entries();
    const int first = static_cast<int>(entries.size());
    for (const auto& station : setup.stations())
        entries.push_back({station.computerName, station.address});
    const bool saved = targets.clients.save();
    // The stations are in the table in memory either way: they connect now,
    // and Configuration saves them again.
    for (int i = first; i < static_cast<int>(entries.size()); ++i) {
        targets.workers.startStationWorker(i);
        if (saved)
            targets.log("CONFIG ADDED,Clients," + configuration::decimalText(i + 1) + "," + entries[i].computerName +
                        "," + entries[i].address.toString());
    }
    targets.workers.clientTableChanged();
    return saved;
}

bool writeRates(const configuration::FirstRunSetup& setup, FirstRunTargets& targets)
{
    if (setup.rates().empty())
        return true;
    targets.rates.rows() = setup.rates();
    if (!targets.rates.save())
        return false;
    int number = 0;
    for (const auto& block : setup.rates())
        targets.log("CONFIG ADDED,Rates," + configuration::decimalText(++number) + "," + block.blockDuration + "," +
                    (block.blockCount == store::kRepeatBlock ? std::string(kRepeatText)
                                                             : configuration::decimalText(block.blockCount)) +
                    "," + store::formatMoney(block.price));
    return true;
}

} // namespace

bool writeFirstRunSetup(const configuration::FirstRunSetup& setup, FirstRunTargets targets)
{
    if (!targets.log)
        targets.log = [](const std::string&) {};
    bool written = writeConfiguration(setup, targets);
    written = writeStations(setup, targets) && written;
    written = writeRates(setup, targets) && written;
    return written;
}

} // namespace console
