#include "console/texts.h"

#include <cstdio>

namespace console {

std::string stationOpenBillCaption(int stationNumber)
{
    return "Open Bill: " + stationBillCaption(stationNumber);
}

std::string stationBillCaption(int stationNumber)
{
    return std::string(kStationsPrefix) + std::to_string(stationNumber);
}

std::string stopPcCaption(int stationNumber) { return "Stop PC#" + std::to_string(stationNumber); }

std::string priceQuestion(const std::string& itemCaption)
{
    return "Enter price for item:\"" + itemCaption + "\"";
}

int alarmChoiceSeconds(int choice)
{
    if (choice <= 0 || choice >= static_cast<int>(kAlarmChoices.size()))
        return 0;
    std::string_view text = kAlarmChoices[static_cast<std::size_t>(choice)];
    int hours = (text[0] - '0') * 10 + (text[1] - '0');
    int minutes = (text[text.size() - 2] - '0') * 10 + (text[text.size() - 1] - '0');
    return hours * 3600 + minutes * 60;
}

std::string shortTenderQuestion(double shortBy)
{
    char amount[64];
    std::snprintf(amount, sizeof amount, "%.2f", shortBy);
    return "Tender is " + std::string(amount) + " short. Charge anyway?";
}

std::string unpaidBillsText(int unpaid, int unseen)
{
    std::string text = std::to_string(unpaid) + (unpaid == 1 ? " unpaid bill" : " unpaid bills");
    if (unseen > 0)
        text += ", " + std::to_string(unseen) + " new";
    return text;
}

std::string damagedConfigurationMessage(const std::string& folder)
{
    return "BriskoConfig in " + folder +
           " is damaged: no password can be checked against it.\r\n\r\n"
           "To get back in, the owner runs\r\n"
           "    brisko-admin --dir " + folder + " reset-password\r\n"
           "which sets an empty password and keeps the receipt lines. "
           "Then start Brisko and set a new password in Configuration.";
}

std::string exitQuestion(std::size_t unpaidBills)
{
    if (unpaidBills == 0)
        return std::string(kExitQuestion);
    const std::string bills = unpaidBills == 1 ? "1 unpaid bill is still open. It is kept and comes back"
                                               : std::to_string(unpaidBills) + " unpaid bills are still open. They are kept and come back";
    return bills + " when Brisko starts again.\r\n\r\n" + std::string(kExitQuestion);
}

std::string cannotListenMessage(int port)
{
    return "Brisko cannot listen for stations on port " + std::to_string(port) +
           " (is another program using it?). Stations cannot connect.";
}

std::string damagedKeyMessage(const std::string& keyFile, const std::string& problem)
{
    return keyFile + " cannot be used: " + problem +
           " No station can connect until it is mended; delete it to make a new key, which then "
           "has to be typed at every station.";
}

} // namespace console
