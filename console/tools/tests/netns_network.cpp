#include "netns_network.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

namespace console::test {

namespace {

// Every namespace this test makes is named "brisko-net-<pid>-...".
constexpr const char* kNamePrefix = "brisko-net-";

bool quietly(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

} // namespace

bool NetnsNetwork::available(std::string& why)
{
    if (::geteuid() != 0) {
        why = "network namespaces need root";
        return false;
    }
    const std::string probe = std::string(kNamePrefix) + std::to_string(::getpid()) + "-probe";
    if (!quietly("ip netns add " + probe)) {
        why = "'ip netns add' fails on this machine";
        return false;
    }
    quietly("ip netns del " + probe);
    return true;
}

void NetnsNetwork::removeLeftovers()
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/run/netns", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kNamePrefix, 0) != 0)
            continue;
        const std::string rest = name.substr(std::string(kNamePrefix).size());
        const pid_t owner = static_cast<pid_t>(std::atoi(rest.c_str()));
        if (owner > 0 && owner != ::getpid() && ::kill(owner, 0) != 0)
            quietly("ip netns del " + name);
    }
}

NetnsNetwork::NetnsNetwork(const std::string& tag, platform::Ipv4Address counter,
                           std::vector<platform::Ipv4Address> stations, int prefixLength)
{
    removeLeftovers();
    prefix_ = std::string(kNamePrefix) + std::to_string(::getpid()) + "-" + tag + "-";
    counter_ = prefix_ + "counter";
    const std::string length = "/" + std::to_string(prefixLength);
    if (!run("ip netns add " + counter_))
        return;
    created_.push_back(counter_);
    if (!run("ip -n " + counter_ + " link set lo up") || !run("ip -n " + counter_ + " link add br0 type bridge") ||
        !run("ip -n " + counter_ + " addr add " + counter.toString() + length + " dev br0") ||
        !run("ip -n " + counter_ + " link set br0 up"))
        return;
    for (std::size_t k = 0; k < stations.size(); ++k) {
        const std::string ns = prefix_ + "station" + std::to_string(k + 1);
        // Appended, not "p" + std::to_string(): GCC 12 warns falsely (-Wrestrict) on that form.
        std::string port = "p";
        port += std::to_string(k + 1);
        if (!run("ip netns add " + ns))
            return;
        created_.push_back(ns);
        stations_.push_back(ns);
        if (!run("ip -n " + ns + " link set lo up") ||
            !run("ip -n " + counter_ + " link add " + port + " type veth peer name eth0 netns " + ns) ||
            !run("ip -n " + counter_ + " link set " + port + " master br0") ||
            !run("ip -n " + counter_ + " link set " + port + " up") ||
            !run("ip -n " + ns + " addr add " + stations[k].toString() + length + " dev eth0") ||
            !run("ip -n " + ns + " link set eth0 up"))
            return;
    }
}

NetnsNetwork::~NetnsNetwork()
{
    // Deleting a namespace removes its interfaces, and the veth pairs with them.
    for (auto it = created_.rbegin(); it != created_.rend(); ++it)
        quietly("ip netns del " + *it);
}

std::vector<std::string> NetnsNetwork::inside(const std::string& ns) { return {"/usr/sbin/ip", "netns", "exec", ns}; }

bool NetnsNetwork::pullCable(int k)
{
    return run("ip -n " + counter_ + " link set p" + std::to_string(k + 1) + " down");
}

bool NetnsNetwork::plugCable(int k) { return run("ip -n " + counter_ + " link set p" + std::to_string(k + 1) + " up"); }

std::string NetnsNetwork::tcpState(platform::Ipv4Address peer) const
{
    const std::string command = "ip netns exec " + counter_ + " ss -tinH dst " + peer.toString() + " 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe)
        return {};
    std::string text;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr)
        text += buffer;
    // Only the fields that tell how long the connection waits before it tries again.
    std::istringstream words(text);
    std::string word;
    std::string state;
    while (words >> word) {
        for (const char* field : {"rto:", "backoff:", "retrans:", "lastsnd:", "unacked:"}) {
            if (word.rfind(field, 0) == 0)
                state += (state.empty() || word.rfind("rto:", 0) != 0 ? "" : "; ") + word + " ";
        }
    }
    return state;
}

bool NetnsNetwork::run(const std::string& command)
{
    if (quietly(command))
        return true;
    if (error_.empty())
        error_ = "failed: " + command;
    return false;
}

} // namespace console::test
