#pragma once

// Packs assembled byte by byte for tests, honest or hostile, and the gzip member around them.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The decompressed layout of a pack: magic, directory byte count, entries, bodies. Every part
// can be bent to make a hostile pack.
class PackBytes {
  public:
    PackBytes& File(std::string_view name, std::string_view body);
    PackBytes& File(std::string_view name, const Bytes& body);
    PackBytes& Folder(std::string_view name);
    PackBytes& Up();
    // An entry as it stands: the 60-byte name field is `name` padded (or cut) to 60 bytes.
    PackBytes& Entry(std::string_view name_field, uint32_t size_field);
    PackBytes& Magic(uint32_t magic);
    PackBytes& DirectoryByteCount(uint32_t count);  // instead of entries * 64
    PackBytes& ExtraBodyBytes(std::string_view bytes);
    PackBytes& DropBodyBytes(size_t count);  // from the end of the bodies

    Bytes Raw() const;

  private:
    uint32_t magic_ = 0x544C4F5Au;
    bool count_set_ = false;
    uint32_t count_ = 0;
    Bytes directory_;
    Bytes bodies_;
};

// One gzip member as dompack writes each of a pack's members (flags 0, time 0, OS 11, level 9).
Bytes Gzip(const Bytes& raw);
// A gzip member whose deflate data holds `raw` and then turns invalid (a data error).
Bytes GzipThenDataError(const Bytes& raw);
Bytes Concat(const Bytes& first, const Bytes& second);
// `raw` as two gzip members one after the other, the first holding its first `split` bytes.
Bytes TwoMembers(const Bytes& raw, size_t split);

// A copy in an allocation of exactly its size, so that a sanitizer catches a read beyond it.
class ExactBlock {
  public:
    explicit ExactBlock(const Bytes& bytes);
    const uint8_t* data() const { return data_.get(); }
    uint32_t size() const { return size_; }

  private:
    std::unique_ptr<uint8_t[]> data_;
    uint32_t size_;
};
Bytes Pattern(size_t size, uint32_t seed);  // deterministic, poorly compressible

// A small nested tree with an empty file, an empty folder and a 131,072-byte file.
PackBytes SampleTree();

// Damaged or hostile packs (gzipped), each with the fault verify must report.
struct HostilePack {
    const char* label;
    Bytes bytes;
    int32_t entry;      // the entry verify names; -1 for a fault of no entry
    const char* fault;  // a piece of the message
};
std::vector<HostilePack> HostilePacks();
