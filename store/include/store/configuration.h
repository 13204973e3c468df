#pragma once
// The configuration file "BriskoConfig" (1536 bytes): the password record at 0,
// receipt line 1 at 1024 and receipt line 2 at 1280, each line 256 bytes,
// NUL-terminated when shorter.

#include "platform/shared_file.h"
#include "store/password_record.h"
#include "store/store_notifier.h"

#include <filesystem>
#include <string>

namespace store {

class Configuration {
public:
    static constexpr std::size_t kFileSize = 1536;
    static constexpr std::size_t kLine1Offset = 1024;
    static constexpr std::size_t kLine2Offset = 1280;
    static constexpr std::size_t kLineSize = 256;
    static constexpr std::size_t kMaxPasswordLength = PasswordRecord::kMaxPasswordLength;

    Configuration(const std::filesystem::path& folder, StoreNotifier& notifier);

    // Reads the file once. An empty or new file gives the empty password (with a
    // fresh seed; nothing is written until the next save). A damaged password record
    // shows "Invalid Configuration file" and is kept as read, so no password
    // verifies. File errors are silent and leave the configuration unloaded.
    [[nodiscard]] bool load();
    // Writes the whole file safely (complete new content, then it takes the old one's
    // place). Refused before the configuration has been loaded.
    [[nodiscard]] bool save();
    void close();
    bool isLoaded() const { return loaded_; }

    // Loads when needed; true when the typed text gives exactly the stored record.
    bool verifyOperatorPassword(const std::string& typed);
    // A new record for `password` with a fresh seed (in memory; save() writes it).
    // Refused (false, nothing changed) for a password longer than kMaxPasswordLength.
    bool setPassword(const std::string& password);

    const std::string& receiptLine1() const { return line1_; }
    const std::string& receiptLine2() const { return line2_; }
    void setReceiptLine1(std::string text);
    void setReceiptLine2(std::string text);

    const PasswordRecord& passwordRecord() const { return record_; }

    // The file image of a configuration, and its reading (also used by the tools).
    static std::array<std::byte, kFileSize> encode(const PasswordRecord& record, const std::string& line1,
                                                   const std::string& line2);
    struct Decoded {
        PasswordRecord record;
        std::string line1, line2;
    };
    static Decoded decode(std::span<const std::byte> bytes);

private:
    std::filesystem::path path_;
    StoreNotifier& notifier_;
    platform::SharedFile file_;
    PasswordRecord record_;
    std::string line1_, line2_;
    bool loaded_ = false;
};

} // namespace store
