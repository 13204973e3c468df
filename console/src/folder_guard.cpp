#include "folder_guard.h"

#include "platform/shared_file.h"
#include "store/file_names.h"

#include <system_error>

namespace console {

bool consoleFilesHeldElsewhere(const std::filesystem::path& folder)
{
    // The settings and tables only: another program may lock the journal or the
    // log for a while (that is reported when they are written), but a console
    // holds all of these for as long as it runs.
    for (const char* name : {store::kConfigFileName, store::kClientFileName, store::kPrinterFileName,
                             store::kSaleItemFileName, store::kRateFileName}) {
        const std::filesystem::path path = folder / name;
        std::error_code ec;
        if (!std::filesystem::exists(path, ec))
            continue;
        const auto probe = platform::SharedFile::openOwned(path);
        if (!probe && probe.error() == platform::FileError::SharingViolation)
            return true;
    }
    return false;
}

} // namespace console
