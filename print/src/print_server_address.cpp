#include "print_server_address.h"

#include <algorithm>
#include <cctype>

namespace print {

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool isLoopback(const std::string& host)
{
    const std::string h = lower(host);
    return h == "localhost" || h.starts_with("127.") || h == "::1" || h.starts_with("/");
}

} // namespace

PrintServerAddress parsePrintServerName(const std::string& name, const std::string& defaultHost, int defaultPort)
{
    std::string host = name;
    // A leading "\\" as the operator may type a Windows server name.
    while (host.starts_with("\\"))
        host.erase(0, 1);
    int port = defaultPort;
    bool portGiven = false;
    if (const auto colon = host.rfind(':'); colon != std::string::npos && host.find(':') == colon) {
        const std::string digits = host.substr(colon + 1);
        if (!digits.empty() && digits.size() <= 5 &&
            std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); })) {
            const int p = std::stoi(digits);
            if (p > 0 && p < 65536) {
                port = p;
                portGiven = true;
                host.erase(colon);
            }
        }
    }
    if (host.empty() || lower(host) == "localhost")
        host = portGiven || defaultHost.empty() ? std::string("localhost") : defaultHost;
    return {host, port, isLoopback(host)};
}

} // namespace print
