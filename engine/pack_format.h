#pragma once

// The pack archive: the decompressed content of the payload's gzip stream. It is a 4-byte magic,
// a 4-byte directory byte count, a directory of 64-byte entries that describes the installed tree
// as one pre-order walk, and then every file's body back to back in entry order. Nothing is
// addressed by offset: a reader takes the directory and the bodies strictly front to back, which
// is what lets the payload be decompressed as one stream straight from memory.
//
// An entry is a 60-byte zero-terminated name and a signed 32-bit size. A size of 0 or more is a
// file of that length; a set sign bit is a folder entry (enter the named sub-folder), or an up
// entry when the name is exactly ".." (return to the parent). All integers are little-endian.

#include <cstdint>
#include <string_view>

// "ZOLT" read as one little-endian 32-bit value.
inline constexpr uint32_t kPackMagic = 0x544C4F5Au;
inline constexpr uint32_t kPackHeaderSize = 8;  // magic + directory byte count
inline constexpr uint32_t kPackEntrySize = 64;
inline constexpr uint32_t kPackNameFieldSize = 60;
inline constexpr uint32_t kPackMaxNameLength = kPackNameFieldSize - 1;
inline constexpr uint32_t kPackSizeOffset = 60;
// The size field the build tool writes for folder and up entries.
inline constexpr uint32_t kPackFolderSizeField = 0x80000000u;
// The largest body a file entry can describe.
inline constexpr uint32_t kPackMaxFileSize = 0x7FFFFFFFu;
// Bodies are read in pieces of at most this many bytes.
inline constexpr uint32_t kPackChunkSize = 65536;
inline constexpr std::string_view kPackUpName = "..";
// What the payload-free installer (the stub a publisher stamps a pack into) carries as its PACK
// resource in place of a pack: these bytes, without a terminating zero (res/payload_placeholder).
inline constexpr std::string_view kPayloadPlaceholder = "dompack: no payload in this stub";

// True when a PACK resource's bytes are a payload to copy: there are some, and they are not the
// placeholder of the payload-free installer.
inline bool CarriesPayload(const uint8_t* bytes, uint32_t size) {
    return bytes != nullptr && size > 0 &&
           std::string_view(reinterpret_cast<const char*>(bytes), size) != kPayloadPlaceholder;
}

uint32_t ReadLe32(const uint8_t* bytes);
void WriteLe32(uint32_t value, uint8_t* bytes);

enum class PackEntryKind { kFile, kFolder, kUp };

// A view of one 64-byte entry where it lies (in the directory buffer); it owns nothing.
class PackEntry {
  public:
    explicit PackEntry(const uint8_t* bytes) : bytes_(bytes) {}

    // The name up to its zero byte; all 60 bytes when the field holds no zero byte.
    std::string_view Name() const;
    bool NameTerminated() const;
    int32_t SizeField() const;
    PackEntryKind Kind() const;
    const uint8_t* bytes() const { return bytes_; }

  private:
    const uint8_t* bytes_;  // kPackEntrySize bytes
};

// Fills `out` (kPackEntrySize bytes) with one entry: the name zero-padded, then the size field.
// The caller keeps the name within kPackMaxNameLength bytes.
void WritePackEntry(std::string_view name, uint32_t size_field, uint8_t* out);

// Entries in a directory of this many bytes: a signed division by 64; a remainder is ignored,
// and a count that is negative as a signed value gives none.
int32_t PackEntryCount(uint32_t directory_byte_count);

// The sum, modulo 2^32, of the size fields of the file entries (sign bit clear).
uint32_t PackProgressTotal(const uint8_t* directory, int32_t entry_count);
