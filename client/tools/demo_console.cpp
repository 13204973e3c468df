// tamblo-demo-console: a console link that starts one session on one station
// and keeps it running for a while, for demonstrations and screenshots.
//
//   tamblo-demo-console --listen 127.1.1.1 --port 32000 --station 127.2.2.5 [--seconds 30]
//
// It runs the console's real link server: the station connects, is unlocked,
// and receives the figures of a session started 65 minutes ago.
#include "link/station_words.h"
#include "link/link_server.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

namespace {

bool waitForEvent(stationlink::LinkServer& server, stationlink::Event event, std::chrono::seconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (server.waitEventForConsole(0, std::chrono::milliseconds(100)) && server.takeEventForConsole(0)) {
            auto mailbox = server.lockMailbox(0);
            const stationlink::StationEvents events = mailbox.word().takeEvents();
            if (events.has(event))
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    stationlink::LinkSettings settings;
    platform::Ipv4Address station = platform::Ipv4Address::loopback();
    int seconds = 30;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        std::string value = argv[i + 1];
        if (option == "--listen")
            settings.listenAddress = platform::Ipv4Address::parse(value).value_or(platform::Ipv4Address{});
        else if (option == "--port")
            settings.port = static_cast<std::uint16_t>(std::atoi(value.c_str()));
        else if (option == "--station")
            station = platform::Ipv4Address::parse(value).value_or(station);
        else if (option == "--seconds")
            seconds = std::atoi(value.c_str());
    }

    stationlink::LinkServer server(settings);
    server.setStationAddresses({station});
    if (!server.start(1)) {
        std::fprintf(stderr, "tamblo-demo-console: cannot listen on port %d\n", settings.port);
        return 1;
    }
    if (!waitForEvent(server, stationlink::Event::Connected, std::chrono::seconds(20))) {
        std::fprintf(stderr, "tamblo-demo-console: the station did not connect\n");
        return 1;
    }
    server.sendStationCommand(0, stationlink::Command::Unlock);
    waitForEvent(server, stationlink::Event::Started, std::chrono::seconds(10));
    std::time_t start = std::time(nullptr) - (65 * 60 + 10);
    server.sendSessionInfo(0, stationlink::SessionInfoRecord::fromFigures("01:05:10", "2.50", "1.00", "3.50", start));
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    server.stop();
    return 0;
}
