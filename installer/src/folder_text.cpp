#include "installer/folder_text.h"

#include "installer/texts.h"

#include <algorithm>

namespace installer {

namespace fs = std::filesystem;

FolderChoice folderFromText(const std::string& text, const fs::path& home)
{
    if (text.empty())
        return {{}, kNoFolderGiven};
    // A line break would also end the line of the logon start entry that names the folder.
    if (std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }))
        return {{}, kFolderHoldsControlCharacter};
    fs::path folder;
    if (text == "~" || text.starts_with("~/")) {
        if (!home.is_absolute())
            return {{}, kHomeFolderUnknown};
        folder = home / (text.size() > 2 ? text.substr(2) : std::string());
    } else if (text.front() == '/') {
        folder = text;
    } else {
        return {{}, notAFullPathMessage(text)};
    }
    folder = folder.lexically_normal();
    if (folder.filename().empty() && folder.has_relative_path())
        folder = folder.parent_path();
    return {folder, {}};
}

bool sameFolder(const fs::path& a, const fs::path& b)
{
    return (a / "").lexically_normal() == (b / "").lexically_normal();
}

} // namespace installer
