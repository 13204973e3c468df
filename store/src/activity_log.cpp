#include "store/activity_log.h"

#include "platform/local_time.h"
#include "store/file_names.h"

namespace store {

ActivityLog::ActivityLog(const std::filesystem::path& folder, const platform::Clock& clock, StoreNotifier& notifier)
    : path_(folder / kLogFileName), clock_(clock), notifier_(notifier)
{
}

bool ActivityLog::open()
{
    file_ = platform::SharedFile::openOwned(path_);
    if (!file_.isOpen()) {
        notifier_.showMessage("File Open Failed");
        return false;
    }
    return true;
}

void ActivityLog::WriteLogLine(const std::string& text)
{
    if (!file_.isOpen() && !open())
        return;
    std::string line = platform::formatLocalTime("%d%m%y%H%M", clock_.now());
    line += ',';
    line += text;
    line += '\n';
    if (file_.seekToEnd() && file_.write(line))
        unsynced_ = true;
}

bool ActivityLog::sync()
{
    if (!unsynced_ || !file_.isOpen())
        return true;
    unsynced_ = false;
    return file_.flush();
}

void ActivityLog::close()
{
    sync();
    file_.close();
    unsynced_ = false;
}

} // namespace store
