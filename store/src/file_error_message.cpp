#include "file_error_message.h"

#include <cstdio>

namespace store {

std::string fileErrorMessage(const char* format, platform::FileError cause)
{
    char text[64];
    std::snprintf(text, sizeof text, format, static_cast<int>(cause));
    return text;
}

} // namespace store
