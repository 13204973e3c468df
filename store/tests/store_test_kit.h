#pragma once
// The store tests' kit: a fresh folder per test, a notifier that records its
// messages, whole files as bytes, records laid out by hand, and local times.

#include "platform/local_time.h"
#include "store/store_notifier.h"
#include "testsupport/temp_folder.h"
#include "testsupport/whole_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace store::test {

namespace fs = std::filesystem;

using testsupport::TempFolder;

class RecordingNotifier : public store::StoreNotifier {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void fileFailed(const fs::path& file, const std::string& text) override
    {
        failedFiles.push_back(file.filename().string());
        showMessage(text);
    }
    std::vector<std::string> messages;
    std::vector<std::string> failedFiles; // the names of the files behind file problems, in order
};

inline std::vector<std::byte> readBytes(const fs::path& path)
{
    const std::string chars = testsupport::readFile(path);
    std::vector<std::byte> bytes(chars.size());
    std::memcpy(bytes.data(), chars.data(), chars.size());
    return bytes;
}

inline void writeBytes(const fs::path& path, const std::vector<std::byte>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Bytes from a list of small integers, for hand-built records.
inline std::vector<std::byte> bytesOf(std::initializer_list<int> values)
{
    std::vector<std::byte> bytes;
    for (int v : values)
        bytes.push_back(static_cast<std::byte>(v));
    return bytes;
}

// Places text bytes into a hand-built record.
inline void place(std::vector<std::byte>& record, std::size_t offset, const std::string& text)
{
    std::memcpy(record.data() + offset, text.data(), text.size());
}

inline void placeLittleEndian(std::vector<std::byte>& record, std::size_t offset, std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        record[offset + static_cast<std::size_t>(i)] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
}

inline std::time_t localTime(int year, int month, int day, int hour, int minute, int second = 0)
{
    return *platform::localDateTime(year, month, day, hour, minute, second);
}

} // namespace store::test
