#include "client/supervisor_options.h"

#include "client/texts.h"

namespace client {

SupervisorOptions parseSupervisorOptions(const std::vector<std::string>& args)
{
    SupervisorOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--run-as" || arg == "--kiosk-user" || arg == "--kiosk-template") {
            if (i + 1 == args.size() || args[i + 1].empty()) {
                o.error = needsValueMessage(arg);
                return o;
            }
            const std::string& value = args[++i];
            if (arg == "--run-as")
                o.runAs = value;
            else if (arg == "--kiosk-user")
                o.kioskUser = value;
            else
                o.kioskTemplate = value;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else {
            o.stationArgs.push_back(arg);
        }
    }
    if (o.kioskTemplate && !o.kioskUser)
        o.error = kTemplateWithoutKioskUser;
    else if (o.runAs && o.kioskUser && *o.runAs == *o.kioskUser)
        o.error = kioskUserIsStationMessage(*o.kioskUser);
    return o;
}

std::string supervisorUsage()
{
    return "usage: tamblo-supervisor [--run-as USER] [--kiosk-user USER [--kiosk-template DIR]] [TAMBLO OPTIONS]\n"
           "\n"
           "Runs tamblo, the station's lock, and starts it again whenever it ends\n"
           "without the console's QUIT. The station's system service runs it as root.\n"
           "\n"
           "  --run-as USER         run tamblo as USER and let USER onto the display\n"
           "  --kiosk-user USER     the customers' account: its programs end with each session\n"
           "  --kiosk-template DIR  then also restore USER's home folder from DIR\n"
           "  --help                show this text (tamblo --help shows tamblo's options)\n"
           "  --version             show the version\n";
}

} // namespace client
