#include "engine/pack_format.h"

#include <cstring>

uint32_t ReadLe32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

void WriteLe32(uint32_t value, uint8_t* bytes) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

std::string_view PackEntry::Name() const {
    const void* zero = std::memchr(bytes_, 0, kPackNameFieldSize);
    size_t length = zero ? static_cast<const uint8_t*>(zero) - bytes_ : kPackNameFieldSize;
    return {reinterpret_cast<const char*>(bytes_), length};
}

bool PackEntry::NameTerminated() const {
    return std::memchr(bytes_, 0, kPackNameFieldSize) != nullptr;
}

int32_t PackEntry::SizeField() const {
    return static_cast<int32_t>(ReadLe32(bytes_ + kPackSizeOffset));
}

PackEntryKind PackEntry::Kind() const {
    if (SizeField() >= 0) {
        return PackEntryKind::kFile;
    }
    return Name() == kPackUpName ? PackEntryKind::kUp : PackEntryKind::kFolder;
}

void WritePackEntry(std::string_view name, uint32_t size_field, uint8_t* out) {
    std::memset(out, 0, kPackNameFieldSize);
    std::memcpy(out, name.data(),
                name.size() < kPackMaxNameLength ? name.size() : kPackMaxNameLength);
    WriteLe32(size_field, out + kPackSizeOffset);
}

int32_t PackEntryCount(uint32_t directory_byte_count) {
    int32_t count = static_cast<int32_t>(directory_byte_count);
    return count < static_cast<int32_t>(kPackEntrySize) ? 0 : count / int32_t{kPackEntrySize};
}

uint32_t PackProgressTotal(const uint8_t* directory, int32_t entry_count) {
    uint32_t total = 0;
    for (int32_t i = 0; i < entry_count; ++i) {
        int32_t size = PackEntry(directory + i * kPackEntrySize).SizeField();
        if (size >= 0) {
            total += static_cast<uint32_t>(size);
        }
    }
    return total;
}
