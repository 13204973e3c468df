#include "installer/texts.h"

namespace installer {

std::string summaryFolderLine(const std::string& folder) { return "Installation folder: " + folder + "\r\n"; }

std::string notAFullPathMessage(const std::string& typed)
{
    return "The installation folder \"" + typed + "\" is not a full path: type one that starts with / or ~/.";
}

std::string sourceFolderMessage(const std::string& folder)
{
    return "The programs are installed from " + folder + "; that folder is not an installation.";
}

std::string systemPackagesMessage(const std::string& folder)
{
    return folder + " belongs to the system's packages: remove those with the package manager.";
}

std::string stationServiceMessage(const std::string& unit)
{
    return "The station is already installed here as a system service (" + unit +
           "). Change its settings with sudo dpkg-reconfigure tamblo or sudo tamblo-setup.";
}

std::string counterCafeMessage(const std::string& cafeFolder)
{
    return "This account keeps the counter's cafe (" + cafeFolder +
           "): the station's lock would lock the counter. Install the station on the station PCs.";
}

std::string systemLogonEntryMessage(const std::string& entry)
{
    return "The system-wide entry " + entry +
           " already starts the station at logon; an entry of this account would hide it.";
}

std::string cannotMakeFolderMessage(const std::string& folder, const std::string& why)
{
    return "Cannot make the folder " + folder + ": " + why;
}

std::string cannotReadMessage(const std::string& file, const std::string& why)
{
    return "Cannot read " + file + ": " + why;
}

std::string cannotCopyMessage(const std::string& from, const std::string& to, const std::string& why)
{
    return "Cannot copy " + from + " to " + to + ": " + why;
}

std::string cannotWriteLogonEntryMessage(const std::string& entry, const std::string& why)
{
    return "Cannot write the logon start entry " + entry + ": " + why;
}

std::string nothingToRemoveMessage(const std::string& folder)
{
    return "Nothing that this installer puts there is in " + folder + ".";
}

std::string cannotRemoveMessage(const std::string& file, const std::string& why)
{
    return "Cannot remove " + file + ": " + why;
}

std::string cannotRemoveFolderMessage(const std::string& folder, const std::string& why)
{
    return "Cannot remove the folder " + folder + ": " + why;
}

std::string unknownOptionMessage(const std::string& option) { return "unknown option: " + option; }

std::string fromFolderMessage(const std::string& from, const std::string& why) { return "--from " + from + ": " + why; }

} // namespace installer
