#include "spool_page_count.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace print {

int pageCountInTail(std::string_view tail)
{
    constexpr std::string_view key = "PAGES=\"";
    const std::size_t at = tail.rfind(key);
    if (at == std::string_view::npos)
        return 0;
    std::string_view text = tail.substr(at + key.size());
    text = text.substr(0, text.find('"'));
    // The decimal value at the start of the page text; big numbers are no page count.
    int pages = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        if (pages > 1'000'000)
            return 0;
        pages = pages * 10 + (c - '0');
    }
    return pages;
}

int SpoolPageCount(const std::filesystem::path& dataFile)
{
    std::ifstream in(dataFile, std::ios::binary);
    if (!in)
        return 0;
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (length <= 0)
        return 0;
    const std::streamoff take = std::min<std::streamoff>(length, kSpoolTailBytes);
    std::string tail(static_cast<std::size_t>(take), '\0');
    in.seekg(length - take);
    if (!in.read(tail.data(), take))
        return 0;
    return pageCountInTail(tail);
}

std::filesystem::path spoolDataFile(const std::filesystem::path& spoolFolder, int jobId)
{
    char name[32];
    std::snprintf(name, sizeof name, "d%05d-001", jobId);
    return spoolFolder / name;
}

} // namespace print
