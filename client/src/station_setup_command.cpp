#include "client/station_setup_command.h"
#include "brisko_version.h"

#include "client/client_config.h"
#include "client/setup_code_file.h"
#include "client/station_folders.h"
#include "client/station_key.h"
#include "client/texts.h"
#include "platform/file_owner.h"
#include "link/cafe_key.h"
#include "platform/ipv4.h"

#include <istream>
#include <optional>
#include <ostream>

namespace client {

namespace {

constexpr int kDone = 0;
constexpr int kNotWritten = 1;
constexpr int kRefused = 2;

struct SetupRequest {
    std::filesystem::path folder = StationFolders::installed().config;
    std::optional<platform::Ipv4Address> server;
    std::optional<std::string> code;
    bool codeFromInput = false;
    std::optional<std::string> key;
    bool show = false;
    bool help = false;
    bool version = false;
};

// The request, or why the arguments were refused.
std::optional<SetupRequest> parse(const std::vector<std::string>& args, std::string& error)
{
    SetupRequest request;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            request.help = true;
        } else if (arg == "--version") {
            request.version = true;
        } else if (arg == "--show") {
            request.show = true;
        } else if (arg == "--code-from-stdin") {
            request.codeFromInput = true;
        } else if (arg == "--dir" || arg == "--server" || arg == "--code" || arg == "--key") {
            if (i + 1 == args.size()) {
                error = needsValueMessage(arg);
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "--dir") {
                request.folder = value;
            } else if (arg == "--server") {
                request.server = platform::Ipv4Address::parse(value);
                if (!request.server) {
                    error = notAnAddressMessage(value);
                    return std::nullopt;
                }
            } else if (arg == "--code") {
                request.code = value;
            } else {
                request.key = value;
            }
        } else {
            error = unknownOptionMessage(arg);
            return std::nullopt;
        }
    }
    if (request.code && request.codeFromInput) {
        error = kCodeTwiceMessage;
        return std::nullopt;
    }
    return request;
}

// Read without taking the files from a running station.
void show(const std::filesystem::path& folder, std::ostream& out)
{
    std::string address = kShownNotSet;
    if (auto reader = platform::SharedFile::openReader(folder / kConfigFileName)) {
        auto bytes = reader->readAll();
        if (bytes && bytes->size() >= 4) {
            platform::Ipv4Address server;
            for (std::size_t i = 0; i < 4; ++i)
                server.octets[i] = static_cast<std::uint8_t>((*bytes)[i]);
            if (!server.isAny())
                address = server.toString();
        }
    }
    out << kShownAddressHeading << address << "\n";

    out << kShownCodeHeading;
    switch (SetupCodeFile::peekStatus(folder / kSetupCodeFileName)) {
    case SetupCodeFile::Status::OwnersCode:
        out << kShownCodeSet << "\n";
        break;
    case SetupCodeFile::Status::Damaged:
        out << kShownCodeDamaged << "\n";
        break;
    case SetupCodeFile::Status::BuiltIn:
        out << kShownCodeBuiltIn << "\n";
        break;
    }

    auto key = readStationKey(folder);
    out << kShownKeyHeading << (key.key ? kShownKeyKept : key.problem.empty() ? kShownNotSet : key.problem) << "\n";
}

} // namespace

int runStationSetup(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err)
{
    std::string error;
    auto request = parse(args, error);
    if (!request) {
        err << "tamblo-setup: " << error << "\n" << stationSetupUsage();
        return kRefused;
    }
    if (request->help) {
        out << stationSetupUsage();
        return kDone;
    }
    if (request->version) {
        out << "tamblo-setup " BRISKO_VERSION "\n";
        return kDone;
    }
    const auto& folder = request->folder;
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        err << "tamblo-setup: " << noSuchFolderMessage(folder.string()) << "\n";
        return kRefused;
    }
    if (request->codeFromInput) {
        std::string line;
        std::getline(in, line);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        request->code = line;
    }
    // Every value is checked before any file changes, so that a typo changes nothing.
    if (request->code) {
        if (auto problem = SetupCodeFile::problemWith(*request->code)) {
            err << "tamblo-setup: " << *problem << "\n";
            return kRefused;
        }
    }
    if (request->key) {
        if (auto problem = stationlink::CafeKey::problemWith(*request->key)) {
            err << "tamblo-setup: " << *problem << "\n";
            return kRefused;
        }
    }
    if (request->server && request->server->isAny()) {
        err << "tamblo-setup: " << kAnyAddressMessage << "\n";
        return kRefused;
    }

    const bool changes = request->server || request->code || request->key;
    if (!changes && !request->show) {
        err << "tamblo-setup: " << kNothingToDoMessage << "\n" << stationSetupUsage();
        return kRefused;
    }
    // A running station holds its files and denies writing to them.
    for (const char* name : {kConfigFileName, kSetupCodeFileName}) {
        if (!changes || !std::filesystem::exists(folder / name, ec))
            continue;
        const platform::FileError opened =
            platform::SharedFile::openOwned(folder / name).error_or(platform::FileError::None);
        if (opened == platform::FileError::SharingViolation) {
            err << "tamblo-setup: " << stationHoldsFileMessage((folder / name).string()) << "\n";
            return kNotWritten;
        }
    }
    if (request->server) {
        const auto file = folder / kConfigFileName;
        ClientConfig config(file);
        if (!config.store(*request->server) || !platform::giveToFolderOwner(file, 0644)) {
            err << "tamblo-setup: " << addressNotWrittenMessage(file.string()) << "\n";
            return kNotWritten;
        }
        out << addressKeptMessage(request->server->toString(), file.string()) << "\n";
    }
    if (request->code) {
        const auto file = folder / kSetupCodeFileName;
        SetupCodeFile code(file);
        if (!code.store(*request->code) || !platform::giveToFolderOwner(file, 0600)) {
            err << "tamblo-setup: " << codeNotWrittenMessage(file.string()) << "\n";
            return kNotWritten;
        }
        out << kCodeSetMessage << "\n";
    }
    if (request->key) {
        if (auto problem = storeStationKey(folder, *request->key)) {
            err << "tamblo-setup: " << *problem << "\n";
            return kNotWritten;
        }
        if (!platform::giveToFolderOwner(folder / kKeyFileName, 0600)) {
            err << "tamblo-setup: " << keyNotGivenMessage((folder / kKeyFileName).string()) << "\n";
            return kNotWritten;
        }
        out << keyKeptMessage((folder / kKeyFileName).string()) << "\n";
    }
    if (changes)
        out << kRestartForChangeMessage << "\n";
    if (request->show)
        show(folder, out);
    return kDone;
}

std::string stationSetupUsage()
{
    return "usage: tamblo-setup [--dir FOLDER] [--server A.B.C.D] [--code CODE | --code-from-stdin] [--key CODE]\n"
           "       tamblo-setup [--dir FOLDER] --show\n"
           "\n"
           "Sets the station's own settings, as root, without the locked screen.\n"
           "\n"
           "  --server A.B.C.D   the counter console's address\n"
           "  --code CODE        the owner's setup code (4 to 32 letters, digits or signs)\n"
           "  --code-from-stdin  the setup code, read from the first line of the input\n"
           "  --key CODE         the cafe's key (Configuration... in the console shows it)\n"
           "  --show             what is set\n"
           "  --dir FOLDER       the station's settings folder (default /etc/tamblo)\n"
           "  --help             show this text\n"
           "  --version          show the version\n";
}

} // namespace client
