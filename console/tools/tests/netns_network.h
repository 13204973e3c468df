#pragma once
// A small cafe network made of Linux network namespaces: one namespace for the
// counter and one per station, each station joined by a veth pair to a bridge
// in the counter's namespace (the bridge plays the switch). Its cables can be
// pulled and plugged in again. The namespaces' names carry the test process's
// id, so runs never meet; everything is removed when the object goes, and
// namespaces left behind by a run that died are removed by the next one.
//
// Needs root. One thread: the test's.

#include "platform/ipv4.h"

#include <string>
#include <vector>

namespace console::test {

class NetnsNetwork {
public:
    // Whether namespaces can be made here; `why` says why not.
    static bool available(std::string& why);

    // `tag` keeps several networks of one run apart (letters and digits).
    NetnsNetwork(const std::string& tag, platform::Ipv4Address counter, std::vector<platform::Ipv4Address> stations,
                 int prefixLength = 24);
    ~NetnsNetwork();
    NetnsNetwork(const NetnsNetwork&) = delete;
    NetnsNetwork& operator=(const NetnsNetwork&) = delete;

    // False (with the failing command in error()) when the network could not be built.
    bool ready() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    const std::string& counterNamespace() const { return counter_; }
    const std::string& stationNamespace(int k) const { return stations_.at(static_cast<std::size_t>(k)); }
    // The words that run a program inside a namespace: "ip netns exec NAME".
    static std::vector<std::string> inside(const std::string& ns);

    // Station k's cable (its switch port) goes down or comes back up.
    bool pullCable(int k);
    bool plugCable(int k);

    // The retransmission state of the counter's TCP connections to `peer`, as
    // "ss" reports it: "rto:... backoff:... retrans:..." per connection.
    std::string tcpState(platform::Ipv4Address peer) const;

private:
    bool run(const std::string& command);
    static void removeLeftovers();

    std::string prefix_;
    std::string counter_;
    std::vector<std::string> stations_;
    std::vector<std::string> created_;
    std::string error_;
};

} // namespace console::test
