#pragma once
// Where the print server named in the printer table is: "host" or "host:port";
// an empty name or "localhost" is the machine's own server.

#include <string>

namespace print {

struct PrintServerAddress {
    std::string host; // a host name, an address, or a local socket path
    int port = 631;
    bool local = false; // this machine's server: its spool folder can be read
};

// `defaultHost` / `defaultPort`: the local server (cupsServer() / ippPort()).
PrintServerAddress parsePrintServerName(const std::string& name, const std::string& defaultHost, int defaultPort);

} // namespace print
