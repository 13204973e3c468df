#include "console/texts.h"

#include <cstdio>

namespace console {

std::string stationOpenBillCaption(int stationNumber) { return "Open Bill: " + stationBillCaption(stationNumber); }

std::string stationBillCaption(int stationNumber)
{
    return std::string(kStationsPrefix) + std::to_string(stationNumber);
}

std::string arrivedAtSuffix(const std::string& arrivedAt) { return "  (" + arrivedAt + ")"; }

std::string repeatedLabelSuffix(int number) { return " #" + std::to_string(number); }

std::string stopPcCaption(int stationNumber) { return "Stop PC#" + std::to_string(stationNumber); }

std::string quantityDescription(const std::string& description, long long quantity)
{
    return description + " x " + std::to_string(quantity);
}

std::string printJobDescription(int pages, const std::string& document)
{
    return "Pages (" + std::to_string(pages) + "): " + document;
}

std::string priceQuestion(const std::string& itemCaption) { return "Enter price for item:\"" + itemCaption + "\""; }

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
           "    brisko-admin --dir " +
           folder +
           " reset-password\r\n"
           "which sets an empty password and keeps the receipt lines. "
           "Then start Brisko and set a new password in Configuration.";
}

std::string exitQuestion(std::size_t unpaidBills)
{
    if (unpaidBills == 0)
        return std::string(kExitQuestion);
    const std::string bills =
        unpaidBills == 1 ? "1 unpaid bill is still open. It is kept and comes back"
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

std::string keyNotKeptProblem(const std::string& keyFile)
{
    return "A new key could not be made and kept in " + keyFile + ".";
}

std::string passwordTooLongMessage(std::size_t longest)
{
    return "The password is too long: at most " + std::to_string(longest) + " characters.";
}

std::string integerRangeMessage(int low, int high)
{
    return "Please enter an integer between " + std::to_string(low) + " and " + std::to_string(high) + ".";
}

std::string deleteRowsQuestion(int count, std::string_view rowsName)
{
    return "Delete last " + std::to_string(count) + " " + std::string(rowsName) + "?";
}

std::string busyStationMessage(int stationNumber)
{
    return "Station " + std::to_string(stationNumber) +
           " has a session running or an unpaid open bill. Stop its session and charge its bill "
           "before removing it or changing its address.";
}

std::string tooManyStationsMessage(int most) { return "A cafe has at most " + std::to_string(most) + " stations."; }

std::string notAnAddressMessage(const std::string& typed)
{
    return "\"" + typed + "\" is not a station's address. Type four numbers with dots, such as 192.168.1.21.";
}

std::string addressTakenMessage(const std::string& computerName, const std::string& address)
{
    return "Station " + computerName + " has the address " + address + " already.";
}

std::string suggestedStationName(int number) { return "PC " + std::to_string(number); }

std::string notAPriceMessage(const std::string& typed)
{
    return "\"" + typed + "\" is not a price. Type the price of one hour, such as 2.00.";
}

} // namespace console
