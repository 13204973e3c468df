#pragma once
// Shared pieces of the client tests: a temporary working folder, a workstation
// that records what the engine asks of it, a host whose event pump runs a
// test's hook, and a console scripted with real sockets on loopback.

#include "client/client_engine.h"
#include "client/client_host.h"
#include "client/steady_clock.h"
#include "client/workstation.h"
#include "platform/tcp_socket.h"
#include "testsupport/temp_folder.h"
#include "testsupport/whole_file.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace client::test {

using namespace std::chrono_literals;

using testsupport::TempFolder;

using testsupport::readFile;
using testsupport::writeFile;
// The log's lines without their "\r\n".
std::vector<std::string> logLines(const std::filesystem::path& folder);
bool contains(const std::vector<std::string>& lines, const std::string& line);
std::size_t count(const std::vector<std::string>& lines, const std::string& line);

struct Placement {
    ScreenRect rect;
    WindowOrder order;
};

class RecordingWorkstation final : public Workstation {
public:
    bool taskbarPresent = true;
    bool taskbarShown = true;
    bool cursorVisible = true;
    bool keysDisabled = false;
    int cursorChanges = 0;
    int shutdownCalls = 0;
    int sessionEnds = 0; // customerSessionEnded() calls
    std::optional<std::string> shutdownFailure;
    std::vector<Placement> placements;

    bool showTaskbar() override;
    bool hideTaskbar() override;
    void setCursorVisible(bool visible) override;
    void placeWindow(const ScreenRect& rect, WindowOrder order) override;
    void disableTaskKeys(bool disable) override;
    std::optional<std::string> shutdown() override;
    void customerSessionEnded() override { ++sessionEnds; }
};

// Steady time that only moves when told to.
class ManualSteadyClock final : public SteadyClock {
public:
    TimePoint now() const override { return now_; }
    void advance(std::chrono::milliseconds by) { now_ += by; }

private:
    TimePoint now_{};
};

class TestHost final : public ClientHost {
public:
    std::vector<std::string> messages;

    void showMessage(const std::string& text) override;
};

// The console's address in the link tests (127.0.0.1 works as well: see real_console_test.cpp).
inline const platform::Ipv4Address kTestServer{{127, 1, 1, 1}};
// The station's own address in the link tests.
inline const platform::Ipv4Address kTestStation{{127, 2, 2, 5}};

// The screen used by the engine tests: 1280x800 with a 40-pixel panel at the bottom.
ScreenGeometry testScreen();

// Calls tick() until the predicate holds or the time is up.
bool tickUntil(ClientEngine& engine, const std::function<bool()>& done, std::chrono::milliseconds limit = 5s);

// Blocking helpers of the scripted console (run on its own thread).
platform::TcpSocket acceptWithin(platform::TcpSocket& listener, std::chrono::milliseconds limit,
                                 platform::Ipv4Address* peer = nullptr);
// One read within the time limit; nullopt on time-out, "" when the peer closed.
std::optional<std::string> readWithin(platform::TcpSocket& socket, std::chrono::milliseconds limit);
// A port on the test console's address that nobody listens on.
std::uint16_t unusedPort();

// The console side of one handshake: accepts on the main port, checks the
// CONNECT text, opens a station port listener and completes the exchange.
// Returns the station connection (invalid on failure).
struct HandshakeResult {
    std::string connectText;
    platform::Ipv4Address peer;
    platform::TcpSocket station;
};
HandshakeResult acceptStation(platform::TcpSocket& mainListener, std::chrono::milliseconds limit = 5s);

// The real program's arguments (after its path) for a station kept in
// `folder` that connects from `ownAddress` to the test console on `port`;
// writes the console's address (kTestServer) into its "TambloConfig".
std::vector<std::string> stationArgs(const std::filesystem::path& folder, std::uint16_t port,
                                     const std::string& ownAddress = "127.2.2.5");
// Sets `code` as the owner's setup code of the station kept in `folder`; false when it could not.
bool storeOwnersCode(const std::filesystem::path& folder, std::string_view code);

} // namespace client::test
