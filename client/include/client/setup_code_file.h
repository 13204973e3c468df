#pragma once
// "TambloSetup", beside "TambloConfig": the owner's setup code, never the code
// itself but a salted, slow one-way derivation of it. While the owner has set
// no code (the file is empty) the built-in code opens the configuration.
//
// Layout of the 56 bytes (integers little-endian):
//   0   4  marker "TSC1"
//   4   4  PBKDF2-HMAC-SHA256 iteration count, 1000 to 10000000
//   8  16  salt, random per stored code
//  24  32  derived key of the code with that salt and count
// An empty file means no owner's code. Any other content is a damaged file:
// then no code at all opens the configuration (deleting the file restores
// the built-in code), so that spoiling the file never reopens the built-in one.
//
// Opened once, the first time it is needed (created when missing, never
// truncated, writing denied to others), and held open until the program ends.
//
// Thread contract: one owner thread (the window thread).

#include "platform/shared_file.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace client {

inline constexpr const char* kSetupCodeFileName = "TambloSetup";

class SetupCodeFile {
public:
    enum class Status { BuiltIn, OwnersCode, Damaged };
    static constexpr std::size_t kSize = 56;
    static constexpr std::size_t kShortestCode = 4;
    static constexpr std::size_t kLongestCode = 32;

    explicit SetupCodeFile(std::filesystem::path file);

    // Opens the file if not yet open and reads it. A file that cannot be
    // opened leaves the built-in code (there is nothing the owner could have
    // set); one that cannot be read counts as damaged. False in both cases.
    [[nodiscard]] bool load();
    Status status() const { return status_; }

    // The status of the file at `file` read without taking it from a running
    // station: BuiltIn when it is missing or empty.
    static Status peekStatus(const std::filesystem::path& file);

    // Whether `typed` opens the configuration. Costs one slow derivation when an
    // owner's code is set.
    bool matches(std::string_view typed) const;

    // Replaces the stored code by `code` with a fresh salt; the file is replaced
    // whole, so a failure leaves the previous code in force.
    [[nodiscard]] bool store(std::string_view code);

    // Why `code` cannot be a setup code (4 to 32 printable characters, no
    // spaces); nullopt when it can.
    static std::optional<std::string> problemWith(std::string_view code);

private:
    [[nodiscard]] bool open();

    std::filesystem::path path_;
    platform::SharedFile file_;
    Status status_ = Status::BuiltIn;
    std::vector<std::byte> record_; // the 56 bytes while an owner's code is set
};

} // namespace client
