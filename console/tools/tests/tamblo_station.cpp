#include "tamblo_station.h"

#include "platform/file_owner.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace console::test {

TambloStation::TambloStation(const std::string& program, std::vector<std::string> prefix, platform::Ipv4Address own,
                             platform::Ipv4Address counter, std::uint16_t port, const std::string& key)
{
    std::ofstream(folder_.path() / "TambloConfig", std::ios::binary)
        .write(reinterpret_cast<const char*>(counter.octets.data()), 4);
    const std::filesystem::path runtime = folder_.path() / "run";
    std::filesystem::create_directories(runtime);
    ::chmod(runtime.c_str(), 0700);
    std::vector<std::string> argv = std::move(prefix);
    if (!key.empty()) {
        ChildProcess setKey({program, "--dir", folder_.path().string(), "--set-key", key});
        setKey.waitExit(std::chrono::seconds(10));
    }
    argv.insert(argv.end(), {program, "--windowed", "--address", own.toString(), "--dir", folder_.path().string(),
                             "--port", std::to_string(port)});
    start(std::move(argv));
}

std::unique_ptr<TambloStation> TambloStation::asService(const std::string& supervisor, std::vector<std::string> options,
                                                        const std::string& account, platform::Ipv4Address own,
                                                        platform::Ipv4Address counter, std::uint16_t port)
{
    auto station = std::make_unique<TambloStation>(ServiceTag{});
    const auto& folder = station->folder_.path();
    std::ofstream(folder / "TambloConfig", std::ios::binary)
        .write(reinterpret_cast<const char*>(counter.octets.data()), 4);
    // The station's files are its service account's, closed to everybody else.
    const auto owner = platform::findAccount(account);
    if (!owner || ::chown(folder.c_str(), owner->uid, owner->gid) != 0 ||
        !platform::giveToFolderOwner(folder / "TambloConfig", 0644))
        return station;
    std::vector<std::string> argv{supervisor};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.insert(argv.end(),
                {"--windowed", "--address", own.toString(), "--dir", folder.string(), "--port", std::to_string(port)});
    station->start(std::move(argv));
    return station;
}

void TambloStation::start(std::vector<std::string> argv)
{
    const std::filesystem::path runtime = folder_.path() / "run";
    process_ = std::make_unique<ChildProcess>(std::move(argv),
                                              std::vector<std::string>{"HOME=" + folder_.path().string(),
                                                                       "XDG_RUNTIME_DIR=" + runtime.string(),
                                                                       "QT_QPA_PLATFORM=offscreen"},
                                              folder_.path() / "stderr.txt");
}

int TambloStation::messagesReceived() const
{
    std::istringstream in(log());
    std::string line;
    int count = 0;
    while (std::getline(in, line))
        if (line.find("Read data: ") != std::string::npos)
            ++count;
    return count;
}

std::string TambloStation::log() const { return readFile(folder_.path() / "Tamblo.log"); }

} // namespace console::test
