#pragma once
// The generic record file: a file that is nothing but fixed-size records, loaded
// whole into a table and written back whole. One Codec per file supplies the
// record size, the base name and the mapping between a record and an entry.
// One owner thread: the console's window thread (or a tool's only one).

#include "platform/shared_file.h"
#include "store/byte_layout.h"
#include "store/owned_file.h"

#include <concepts>
#include <cstddef>
#include <filesystem>
#include <utility>
#include <vector>

namespace store {

template <class C>
concept RecordCodec = requires(const typename C::Entry& entry, Bytes out, ConstBytes in)
{
    {
        C::kRecordSize
        } -> std::convertible_to<std::size_t>;
    {
        C::kFileName
        } -> std::convertible_to<const char*>;
    C::encode(entry, out);
    {
        C::decode(in)
        } -> std::same_as<typename C::Entry>;
};

// Entries of every whole record in `bytes`; a partial record at the end is ignored.
template <RecordCodec Codec>
std::vector<typename Codec::Entry> decodeRecords(ConstBytes bytes)
{
    std::vector<typename Codec::Entry> entries;
    std::size_t count = bytes.size() / Codec::kRecordSize;
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        entries.push_back(Codec::decode(bytes.subspan(i * Codec::kRecordSize, Codec::kRecordSize)));
    return entries;
}

// The file image of a table: records in table order, head words and reserved bytes zero.
template <RecordCodec Codec>
std::vector<std::byte> encodeRecords(const std::vector<typename Codec::Entry>& entries)
{
    std::vector<std::byte> bytes(entries.size() * Codec::kRecordSize);
    for (std::size_t i = 0; i < entries.size(); ++i)
        Codec::encode(entries[i], Bytes(bytes).subspan(i * Codec::kRecordSize, Codec::kRecordSize));
    return bytes;
}

template <RecordCodec Codec>
class RecordFile {
public:
    using Entry = typename Codec::Entry;

    explicit RecordFile(const std::filesystem::path& folder) : path_(folder / Codec::kFileName) {}

    // Opens the file (created when missing, held with writing denied to others) and
    // reads every whole record into the table. Does nothing once loaded. A failure is
    // silent: the table keeps what it held, the file is let go and the next call
    // starts over. Returns whether the table is loaded.
    [[nodiscard]] bool load()
    {
        if (loaded_)
            return true;
        auto bytes = readOwned(file_, path_);
        if (!bytes)
            return false;
        entries_ = decodeRecords<Codec>(*bytes);
        loaded_ = true;
        return true;
    }

    // Rewrites the whole file from the table. The new content is written beside the
    // old one and takes its place only when complete, so a failed or interrupted
    // save leaves the previous table intact. Returns false when nothing was saved.
    [[nodiscard]] bool save()
    {
        if (!openOwnedOnce(file_, path_))
            return false;
        return file_.replaceContent(encodeRecords<Codec>(entries_));
    }

    // Lets the file go; a later load reads it afresh.
    void close()
    {
        file_.close();
        loaded_ = false;
    }

    bool isLoaded() const { return loaded_; }
    bool isOpen() const { return file_.isOpen(); }
    const std::filesystem::path& path() const { return path_; }

    std::vector<Entry>& entries() { return entries_; }
    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::filesystem::path path_;
    platform::SharedFile file_;
    std::vector<Entry> entries_;
    bool loaded_ = false;
};

} // namespace store
