#include "client/session_stamp_file.h"

#include "link/protocol.h"

#include <span>
#include <utility>

namespace client {

SessionStampFile::SessionStampFile(std::filesystem::path file) : path_(std::move(file)) {}

bool SessionStampFile::open()
{
    if (!file_.isOpen())
        file_ = platform::SharedFile::openOwned(path_).value_or(platform::SharedFile{});
    return file_.isOpen();
}

std::string SessionStampFile::load()
{
    if (!open())
        return {};
    auto bytes = file_.readAll();
    if (!bytes)
        return {};
    std::string stamp(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    if (!stationlink::parseSessionStamp(stamp))
        return {};
    return stamp;
}

bool SessionStampFile::store(const std::string& stamp)
{
    if (!open())
        return false;
    return file_.replaceContent(std::as_bytes(std::span(stamp.data(), stamp.size())));
}

} // namespace client
