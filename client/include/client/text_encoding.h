#pragma once
// The link's text is single-byte (Windows code page 1252): the session info's
// currency sign is the byte 0x80, the euro sign. The window draws UTF-8.
//
// Thread contract: functions without state; any thread.

#include <string>
#include <string_view>

namespace client {

std::string cp1252ToUtf8(std::string_view text);

} // namespace client
