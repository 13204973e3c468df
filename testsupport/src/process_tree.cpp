#include "testsupport/process_tree.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace testsupport {

pid_t childOf(pid_t parent, const std::string& name)
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        if (!std::getline(stat, text))
            continue;
        // pid (comm) state ppid ...: the name may hold spaces, so read after its ")".
        const auto close = text.rfind(')');
        if (close == std::string::npos || (!name.empty() && text.find("(" + name + ")") == std::string::npos))
            continue;
        std::istringstream rest(text.substr(close + 1));
        std::string state;
        pid_t ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent && state != "Z")
            return static_cast<pid_t>(std::stol(entry.path().filename().string()));
    }
    return 0;
}

} // namespace testsupport
