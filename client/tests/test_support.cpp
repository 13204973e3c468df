#include "test_support.h"

#include <algorithm>
#include <thread>

namespace client::test {

std::vector<std::string> logLines(const std::filesystem::path& folder)
{
    std::vector<std::string> lines;
    std::string text = readFile(folder / kLogFileName);
    std::size_t start = 0;
    for (;;) {
        auto end = text.find("\r\n", start);
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

bool contains(const std::vector<std::string>& lines, const std::string& line) { return count(lines, line) > 0; }

std::size_t count(const std::vector<std::string>& lines, const std::string& line)
{
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

bool RecordingWorkstation::showTaskbar()
{
    if (taskbarPresent)
        taskbarShown = true;
    return taskbarPresent;
}

bool RecordingWorkstation::hideTaskbar()
{
    if (taskbarPresent)
        taskbarShown = false;
    return taskbarPresent;
}

void RecordingWorkstation::setCursorVisible(bool visible)
{
    cursorVisible = visible;
    ++cursorChanges;
}

void RecordingWorkstation::placeWindow(const ScreenRect& rect, WindowOrder order)
{
    placements.push_back({rect, order});
}

void RecordingWorkstation::disableTaskKeys(bool disable) { keysDisabled = disable; }

std::optional<std::string> RecordingWorkstation::shutdown()
{
    ++shutdownCalls;
    return shutdownFailure;
}

void TestHost::showMessage(const std::string& text) { messages.push_back(text); }

ScreenGeometry testScreen() { return {{0, 0, 1280, 800}, {0, 0, 1280, 760}}; }

bool tickUntil(ClientEngine& engine, const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        engine.tick();
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

platform::TcpSocket acceptWithin(platform::TcpSocket& listener, std::chrono::milliseconds limit,
                                 platform::Ipv4Address* peer)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        listener.waitReadable(10ms);
        auto s = listener.accept(peer).value_or(platform::TcpSocket{});
        if (s.isValid())
            return s;
    }
    return {};
}

std::optional<std::string> readWithin(platform::TcpSocket& socket, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        socket.waitReadable(10ms);
        auto r = socket.read();
        if (r.kind == platform::ReadResult::Kind::Data)
            return r.data;
        if (r.kind == platform::ReadResult::Kind::Closed || r.kind == platform::ReadResult::Kind::Error)
            return std::string();
    }
    return std::nullopt;
}

std::uint16_t unusedPort()
{
    auto s = platform::TcpSocket::listenOn(kTestServer, 0, 1).value_or(platform::TcpSocket{});
    auto port = s.localPort().value_or(1);
    return port;
}

HandshakeResult acceptStation(platform::TcpSocket& mainListener, std::chrono::milliseconds limit)
{
    HandshakeResult result;
    auto main = acceptWithin(mainListener, limit, &result.peer);
    if (!main.isValid())
        return result;
    result.connectText = readWithin(main, limit).value_or("");
    auto stationListener = platform::TcpSocket::listenOn(kTestServer, 0, 5).value_or(platform::TcpSocket{});
    auto port = stationListener.localPort().value_or(0);
    main.send(std::to_string(port));
    auto ok = readWithin(main, limit);
    main.close();
    if (ok != "OK")
        return result;
    result.station = acceptWithin(stationListener, limit);
    return result;
}

std::vector<std::string> stationArgs(const std::filesystem::path& folder, std::uint16_t port,
                                     const std::string& ownAddress)
{
    const auto& octets = kTestServer.octets;
    writeFile(folder / kConfigFileName, std::string(octets.begin(), octets.end()));
    return {"--dir", folder.string(), "--address", ownAddress, "--port", std::to_string(port)};
}

bool storeOwnersCode(const std::filesystem::path& folder, std::string_view code)
{
    SetupCodeFile file(folder / kSetupCodeFileName);
    return file.load() && file.store(code);
}

} // namespace client::test
