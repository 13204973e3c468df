#include "installer/installer_options.h"

namespace installer {

InstallerOptions parseInstallerOptions(const std::vector<std::string>& args)
{
    InstallerOptions options;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h")
            options.help = true;
        else if (arg == "--version")
            options.version = true;
        else if (options.error.empty())
            options.error = "unknown option: " + arg;
    }
    return options;
}

std::string installerUsage(const std::string& name)
{
    return "usage: " + name + " [--help] [--version]\n"
           "\n"
           "Installs the counter console (brisko with brisko-admin) or the station client\n"
           "(tamblo with libHushtab.so and tamblo-supervisor) from the folder it is started\n"
           "in. The station client is also registered to start, through its supervisor,\n"
           "when a user logs on (for every user when run as root).\n"
           "\n"
           "  --help           show this text\n"
           "  --version        show the version\n";
}

std::string installerVersion(const std::string& name) { return name + " " BRISKO_VERSION "\n"; }

} // namespace installer
