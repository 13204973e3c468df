#pragma once
// The sale items file "BriskoPOS": what the counter sells besides access time.

#include "store/record_file.h"

#include <filesystem>
#include <string>
#include <vector>

namespace store {

struct SaleItem {
    std::string description;
    double price = 0.0;      // 0.0 when the price varies
    bool fixedPrice = false; // false: the price is asked for at each sale

    friend bool operator==(const SaleItem&, const SaleItem&) = default;
};

// 56-byte record: head word, reserved word, 32-byte description, price, flag byte,
// 7 reserved bytes.
struct SaleItemCodec {
    using Entry = SaleItem;
    static constexpr std::size_t kRecordSize = 56;
    static constexpr const char* kFileName = "BriskoPOS";
    static void encode(const SaleItem& entry, Bytes record);
    static SaleItem decode(ConstBytes record);
};

class SaleItemTable {
public:
    explicit SaleItemTable(const std::filesystem::path& folder) : file_(folder) {}

    [[nodiscard]] bool load() { return file_.load(); }
    [[nodiscard]] bool save() { return file_.save(); }
    void close() { file_.close(); }
    bool isLoaded() const { return file_.isLoaded(); }

    std::vector<SaleItem>& items() { return file_.entries(); }
    const std::vector<SaleItem>& items() const { return file_.entries(); }
    int saleItemCount() const { return static_cast<int>(items().size()); }

    // The description; in button form every "&" is doubled so that it shows
    // literally. Empty for an index outside the table.
    std::string caption(int i, bool buttonForm) const;
    // The price as "%.2f"; empty outside the table.
    std::string priceText(int i) const;
    // Whether the item sells at its price; false outside the table.
    bool fixedPrice(int i) const;

private:
    bool valid(int i) const { return i >= 0 && i < saleItemCount(); }
    RecordFile<SaleItemCodec> file_;
};

} // namespace store
