#include "installer/installer_options.h"
#include "brisko_version.h"

#include "installer/texts.h"

namespace installer {

namespace fs = std::filesystem;

InstallerOptions parseInstallerOptions(const std::vector<std::string>& args)
{
    InstallerOptions options;
    auto refuse = [&options](std::string error) {
        if (options.error.empty())
            options.error = std::move(error);
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h")
            options.help = true;
        else if (arg == "--version")
            options.version = true;
        else if (arg == "--from" && i + 1 < args.size())
            options.from = args[++i];
        else if (arg.starts_with("--from="))
            options.from = arg.substr(7);
        else if (arg == "--from")
            refuse(kFromNeedsFolder);
        else
            refuse(unknownOptionMessage(arg));
    }
    if (options.from && options.from->empty())
        refuse(kFromNeedsFolder);
    return options;
}

std::string installerUsage(const std::string& name)
{
    return "usage: " + name +
           " [--from FOLDER] [--help] [--version]\n"
           "\n"
           "Installs the counter console (brisko with brisko-admin) or the station client\n"
           "(tamblo with libHushtab.so and tamblo-supervisor) from the folder this program\n"
           "is in, or removes such an installation. The station client is also registered\n"
           "to start, through its supervisor, when a user logs on (for every user when run\n"
           "as root).\n"
           "\n"
           "  --from FOLDER    copy the programs from FOLDER instead\n"
           "  --help           show this text\n"
           "  --version        show the version\n";
}

std::string installerVersion(const std::string& name) { return name + " " BRISKO_VERSION "\n"; }

SourceFolder chooseSourceFolder(const std::optional<std::string>& from, const fs::path& current,
                                const fs::path& programFolder)
{
    if (!from) {
        if (programFolder.empty())
            return {{}, kProgramFolderUnknown};
        return {programFolder, {}};
    }
    fs::path folder = (current / *from).lexically_normal();
    if (folder.filename().empty() && folder.has_relative_path())
        folder = folder.parent_path();
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return {{}, fromFolderMessage(*from, ec ? ec.message() : kNotAFolder)};
    return {folder, {}};
}

} // namespace installer
