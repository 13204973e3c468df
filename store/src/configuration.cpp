#include "store/configuration.h"

#include "store/byte_layout.h"
#include "store/file_names.h"
#include "store/owned_file.h"

#include <algorithm>

namespace store {

Configuration::Configuration(const std::filesystem::path& folder, StoreNotifier& notifier)
    : path_(folder / kConfigFileName), notifier_(notifier)
{
}

std::array<std::byte, Configuration::kFileSize>
Configuration::encode(const PasswordRecord& record, const std::string& line1, const std::string& line2)
{
    std::array<std::byte, kFileSize> bytes{};
    std::copy(record.bytes().begin(), record.bytes().end(), bytes.begin());
    putTextUnterminated(bytes, kLine1Offset, kLineSize, line1);
    putTextUnterminated(bytes, kLine2Offset, kLineSize, line2);
    return bytes;
}

Configuration::Decoded Configuration::decode(std::span<const std::byte> bytes)
{
    // A short file reads as zeros where it has no bytes.
    std::array<std::byte, kFileSize> full{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), kFileSize), full.begin());
    Decoded decoded;
    decoded.record = PasswordRecord::fromBytes(
        std::span<const std::byte, PasswordRecord::kSize>(full.data(), PasswordRecord::kSize));
    decoded.line1 = getText(full, kLine1Offset, kLineSize);
    decoded.line2 = getText(full, kLine2Offset, kLineSize);
    return decoded;
}

bool Configuration::load()
{
    if (loaded_)
        return true;
    auto bytes = readOwned(file_, path_);
    if (!bytes)
        return false;
    if (bytes->empty()) {
        // A new configuration: the empty password, written at the next save.
        record_ = PasswordRecord::build("", PasswordRecord::freshSeed()).value_or(PasswordRecord{});
        line1_.clear();
        line2_.clear();
    } else {
        auto decoded = decode(*bytes);
        record_ = decoded.record;
        line1_ = std::move(decoded.line1);
        line2_ = std::move(decoded.line2);
        if (!record_.isValid())
            notifier_.fileFailed(path_, "Invalid Configuration file");
    }
    loaded_ = true;
    return true;
}

bool Configuration::save()
{
    // Before a load the record is all zero: writing it would lock the operator out.
    if (!loaded_)
        return false;
    if (!openOwnedOnce(file_, path_))
        return false;
    return file_.replaceContent(encode(record_, line1_, line2_));
}

void Configuration::close()
{
    file_.close();
    loaded_ = false;
}

bool Configuration::verifyOperatorPassword(const std::string& typed)
{
    // A file that cannot be read leaves the record held before to decide: none
    // (all zero, which verifies nothing) until a first load succeeded.
    static_cast<void>(load());
    return record_.verify(typed);
}

bool Configuration::setPassword(const std::string& password)
{
    auto record = PasswordRecord::build(password, PasswordRecord::freshSeed());
    if (!record)
        return false;
    record_ = *record;
    return true;
}

void Configuration::setReceiptLine1(std::string text) { line1_ = std::move(text); }
void Configuration::setReceiptLine2(std::string text) { line2_ = std::move(text); }

} // namespace store
