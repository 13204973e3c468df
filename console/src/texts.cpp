#include "console/texts.h"

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

int alarmChoiceSeconds(int choice)
{
    if (choice <= 0 || choice >= static_cast<int>(kAlarmChoices.size()))
        return 0;
    std::string_view text = kAlarmChoices[static_cast<std::size_t>(choice)];
    int hours = (text[0] - '0') * 10 + (text[1] - '0');
    int minutes = (text[text.size() - 2] - '0') * 10 + (text[text.size() - 1] - '0');
    return hours * 3600 + minutes * 60;
}

} // namespace console
