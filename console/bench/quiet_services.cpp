#include "quiet_services.h"

#include <cstdio>

namespace console::bench {

void QuietServices::showMessage(const std::string& text)
{
    ++messages_;
    std::fprintf(stderr, "%s: %s\n", label_.c_str(), text.c_str());
}

} // namespace console::bench
