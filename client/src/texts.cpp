#include "client/texts.h"

namespace client {

std::string panelToggleText(bool panelOnTop)
{
    return std::string("Click HERE to ") +
           (panelOnTop ? "put this\r\npanel in the background" : "keep\r\nthis panel visible");
}

std::string keyNotSavedMessage(const std::string& keyFile)
{
    return "The cafe's key could not be saved in " + keyFile + ".";
}

std::string keyKeptMessage(const std::string& keyFile) { return "The cafe's key is kept in " + keyFile + "."; }

std::string needsValueMessage(const std::string& option) { return option + " needs a value"; }

std::string unknownOptionMessage(const std::string& option) { return "unknown option: " + option; }

std::string notAnAddressMessage(const std::string& value) { return "not an IPv4 address: " + value; }

std::string notAnAreaMessage(const std::string& value) { return "not an area WxH+X+Y: " + value; }

std::string notAPortMessage(const std::string& value) { return "not a port number: " + value; }

std::string noSuchFolderMessage(const std::string& folder) { return "no such folder: " + folder; }

std::string kioskUserIsStationMessage(const std::string& user)
{
    return "the customers' account cannot be the station's own: " + user;
}

std::string stationHoldsFileMessage(const std::string& file)
{
    return "the station is running and holds " + file + ": stop it first (systemctl stop tamblo)";
}

std::string addressNotWrittenMessage(const std::string& file)
{
    return "the console's address could not be written to " + file;
}

std::string codeNotWrittenMessage(const std::string& file) { return "the setup code could not be written to " + file; }

std::string keyNotGivenMessage(const std::string& keyFile) { return keyFile + " could not be given to the station"; }

std::string addressKeptMessage(const std::string& address, const std::string& file)
{
    return "The console's address " + address + " is kept in " + file + ".";
}

} // namespace client
