#include "client/client_config.h"

#include <array>
#include <cstddef>
#include <utility>

namespace client {

ClientConfig::ClientConfig(std::filesystem::path file) : path_(std::move(file)) {}

bool ClientConfig::open()
{
    if (!file_.isOpen())
        file_ = platform::SharedFile::openOwned(path_).value_or(platform::SharedFile{});
    return file_.isOpen();
}

bool ClientConfig::load()
{
    server_ = {};
    if (!open())
        return false;
    std::array<std::byte, 4> bytes{};
    if (!file_.seek(0))
        return true;
    auto got = file_.read(bytes);
    if (got && *got == bytes.size()) {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            server_.octets[i] = static_cast<std::uint8_t>(bytes[i]);
    }
    return true;
}

bool ClientConfig::store(platform::Ipv4Address server)
{
    if (!open())
        return false;
    std::array<std::byte, 4> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::byte>(server.octets[i]);
    if (!file_.seek(0) || !file_.write(bytes) || !file_.flush())
        return false;
    server_ = server;
    return true;
}

} // namespace client
