#include "tools/dompack/pe_image.h"

#include <algorithm>
#include <cstring>

#include "engine/pack_format.h"

namespace {

constexpr uint32_t kPe32Magic = 0x10B;
constexpr uint32_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kSecurityDirectoryIndex = 4;
constexpr uint32_t kMaxSections = 96;
constexpr uint32_t kSubdirectoryBit = 0x80000000u;
// Resource levels below the root: type, then id, then language.
constexpr uint32_t kResourceLevels = 3;
constexpr uint32_t kPackSectionCharacteristics = 0x40000040u;  // initialised data, readable
constexpr char kPackSectionName[] = ".pack";
constexpr uint32_t kPackResourceId = 131;
// The system maps a program file (rather than reading all of it) only when its sections lie in
// the file as in memory: the file alignment is the section alignment, a page or more.
constexpr uint32_t kPageSize = 4096;

uint32_t Le16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

uint32_t Le32(const uint8_t* p) {
    return Le16(p) | Le16(p + 2) << 16;
}

void PutLe16(uint32_t value, uint8_t* p) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(uint32_t value, uint8_t* p) {
    PutLe16(value & 0xFFFF, p);
    PutLe16(value >> 16, p + 2);
}

bool Inside(uint64_t offset, uint64_t length, size_t size) {
    return offset <= size && length <= size - offset;
}

uint64_t AlignUp(uint64_t value, uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

bool IsPowerOfTwo(uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool PeImage::Parse(const uint8_t* data, size_t size, std::string* error) {
    data_ = data;
    size_ = size;
    sections_.clear();
    if (size < 0x40 || data[0] != 'M' || data[1] != 'Z') {
        *error = "not a Windows program (no MZ header)";
        return false;
    }
    const uint32_t pe = Le32(data + 0x3C);
    if (!Inside(pe, 24, size) || std::memcmp(data + pe, "PE\0\0", 4) != 0) {
        *error = "not a PE image (no PE header inside the file)";
        return false;
    }
    coff_offset_ = pe + 4;
    const uint32_t section_count = Le16(data + coff_offset_ + 2);
    symbol_table_offset_ = Le32(data + coff_offset_ + 8);
    symbol_count_ = Le32(data + coff_offset_ + 12);
    const uint32_t optional_size = Le16(data + coff_offset_ + 16);
    optional_offset_ = coff_offset_ + 20;
    if (!Inside(optional_offset_, optional_size, size) || optional_size < 2) {
        *error = "the optional header runs past the end of the file";
        return false;
    }
    const uint32_t magic = Le16(data + optional_offset_);
    const uint32_t fixed_size = magic == kPe32Magic ? 96 : magic == kPe32PlusMagic ? 112 : 0;
    if (fixed_size == 0 || optional_size < fixed_size) {
        *error = "the optional header is neither PE32 nor PE32+ or is too short";
        return false;
    }
    const uint32_t directory_count = Le32(data + optional_offset_ + fixed_size - 4);
    directories_offset_ = optional_offset_ + fixed_size;
    if (directory_count <= kSecurityDirectoryIndex ||
        static_cast<uint64_t>(directory_count) * 8 > optional_size - fixed_size) {
        *error = "the optional header has no resource and security directories";
        return false;
    }
    section_alignment_ = Le32(data + optional_offset_ + 32);
    file_alignment_ = Le32(data + optional_offset_ + 36);
    size_of_image_ = Le32(data + optional_offset_ + 56);
    size_of_headers_ = Le32(data + optional_offset_ + 60);
    checksum_offset_ = optional_offset_ + 64;
    if (!IsPowerOfTwo(section_alignment_) || !IsPowerOfTwo(file_alignment_) ||
        file_alignment_ > section_alignment_) {
        *error = "the section or file alignment is not a power of two";
        return false;
    }
    resource_rva_ = Le32(data + resource_directory_offset());
    resource_size_ = Le32(data + resource_directory_offset() + 4);
    security_size_ = Le32(data + directories_offset_ + kSecurityDirectoryIndex * 8 + 4);

    section_table_offset_ = optional_offset_ + optional_size;
    if (section_count > kMaxSections ||
        !Inside(section_table_offset_, section_count * kSectionHeaderSize, size) ||
        size_of_headers_ < section_table_offset_ + section_count * kSectionHeaderSize ||
        size_of_headers_ > size) {
        *error = "the section table runs past the headers or the end of the file";
        return false;
    }
    raw_end_ = size_of_headers_;
    for (uint32_t i = 0; i < section_count; ++i) {
        const uint8_t* header = data + section_table_offset_ + i * kSectionHeaderSize;
        PeSection section;
        section.name.assign(reinterpret_cast<const char*>(header),
                            strnlen(reinterpret_cast<const char*>(header), 8));
        section.virtual_size = Le32(header + 8);
        section.virtual_address = Le32(header + 12);
        section.raw_size = Le32(header + 16);
        section.raw_offset = Le32(header + 20);
        if (section.raw_size != 0 && !Inside(section.raw_offset, section.raw_size, size)) {
            *error = "section " + section.name + " runs past the end of the file";
            return false;
        }
        if (section.raw_size != 0 && section.raw_offset + section.raw_size > raw_end_) {
            raw_end_ = section.raw_offset + section.raw_size;
        }
        sections_.push_back(section);
    }
    return true;
}

// What a stripped program keeps after its sections: the string table that holds the names of
// sections longer than 8 characters (a 32-bit size that counts itself, then the names).
bool PeImage::EndsInStringTable() const {
    return symbol_table_offset_ == raw_end_ && symbol_count_ == 0 && Inside(raw_end_, 4, size_) &&
           Le32(data_ + raw_end_) == size_ - raw_end_;
}

bool PeImage::FileOffsetOf(uint32_t rva, uint32_t size, uint32_t* offset) const {
    for (const PeSection& section : sections_) {
        if (rva < section.virtual_address) {
            continue;
        }
        const uint64_t into = rva - section.virtual_address;
        if (into < section.raw_size && size <= section.raw_size - into) {
            *offset = static_cast<uint32_t>(section.raw_offset + into);
            return true;
        }
    }
    return false;
}

bool PeImage::FindResource(std::string_view type, uint32_t id, PeResource* resource,
                           std::string* error) const {
    error->clear();
    if (resource_rva_ == 0 || resource_size_ == 0) {
        return false;
    }
    uint32_t root = 0;
    if (!FileOffsetOf(resource_rva_, 16, &root)) {
        *error = "the resource directory lies outside the file";
        return false;
    }
    return ReadResourceDirectory(root, 0, 0, type, id, resource, error);
}

// One level of the resource tree at `offset` from its `root` (offsets inside the tree count from
// the root): the entry that matches this level's key (the type, the id, then any first language)
// is followed down.
bool PeImage::ReadResourceDirectory(uint32_t root, uint32_t offset, uint32_t depth,
                                    std::string_view type, uint32_t id, PeResource* resource,
                                    std::string* error) const {
    const uint64_t at = static_cast<uint64_t>(root) + offset;
    if (!Inside(at, 16, size_)) {
        *error = "a resource directory lies outside the file";
        return false;
    }
    const uint32_t entries = Le16(data_ + at + 12) + Le16(data_ + at + 14);
    if (!Inside(at + 16, static_cast<uint64_t>(entries) * 8, size_)) {
        *error = "a resource directory's entries run past the end of the file";
        return false;
    }
    const std::string wanted = depth == 0 ? std::string(type) : "#" + std::to_string(id);
    for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t* entry = data_ + at + 16 + i * 8;
        const uint32_t name = Le32(entry);
        const uint32_t target = Le32(entry + 4);
        if (depth < 2 && !EntryMatches(root, name, wanted, error)) {
            if (!error->empty()) {
                return false;
            }
            continue;
        }
        const bool subdirectory = (target & kSubdirectoryBit) != 0;
        if (depth + 1 < kResourceLevels) {
            if (!subdirectory) {
                *error = "a resource directory entry leads to data too early";
                return false;
            }
            return ReadResourceDirectory(root, target & ~kSubdirectoryBit, depth + 1, type, id,
                                         resource, error);
        }
        const uint64_t data_entry = static_cast<uint64_t>(root) + target;
        if (subdirectory || !Inside(data_entry, 16, size_)) {
            *error = "resource " + wanted + "'s data entry lies outside the file";
            return false;
        }
        resource->data_entry_offset = static_cast<uint32_t>(data_entry);
        resource->rva = Le32(data_ + data_entry);
        resource->size = Le32(data_ + data_entry + 4);
        if (!FileOffsetOf(resource->rva, resource->size, &resource->file_offset)) {
            *error = "resource " + wanted + "'s data (" + std::to_string(resource->size) +
                     " bytes) lies outside the file";
            return false;
        }
        return true;
    }
    return false;
}

// Whether a directory entry's name field is `wanted`: "#N" for the number N, else a name
// compared without regard to case (names are UTF-16; only ASCII ones can match).
bool PeImage::EntryMatches(uint32_t root, uint32_t name_field, std::string_view wanted,
                           std::string* error) const {
    if ((name_field & kSubdirectoryBit) == 0) {
        return wanted == "#" + std::to_string(name_field);
    }
    const uint64_t at = static_cast<uint64_t>(root) + (name_field & ~kSubdirectoryBit);
    if (!Inside(at, 2, size_) ||
        !Inside(at + 2, static_cast<uint64_t>(Le16(data_ + at)) * 2, size_)) {
        *error = "a resource name lies outside the file";
        return false;
    }
    const uint32_t length = Le16(data_ + at);
    if (length != wanted.size() || wanted.empty() || wanted[0] == '#') {
        return false;
    }
    for (uint32_t i = 0; i < length; ++i) {
        const uint32_t c = Le16(data_ + at + 2 + i * 2);
        if (c > 0x7F || Upper(static_cast<char>(c)) != Upper(wanted[i])) {
            return false;
        }
    }
    return true;
}

uint32_t PeChecksum(const uint8_t* data, size_t size, uint32_t checksum_offset) {
    uint64_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2) {
        if (i == checksum_offset || i == checksum_offset + 2) {
            continue;
        }
        sum += Le16(data + i);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    if (size % 2 != 0) {
        sum += data[size - 1];
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + size);
}

bool PlanStamp(const uint8_t* stub, size_t stub_size, StampPlan* plan, std::string* error) {
    PeImage image;
    if (!image.Parse(stub, stub_size, error)) {
        return false;
    }
    if (image.is_signed()) {
        *error = "the stub is signed; stamp an unsigned stub and sign the result";
        return false;
    }
    PeResource placeholder;
    if (!image.FindResource("PACK", kPackResourceId, &placeholder, error)) {
        if (error->empty()) {
            *error = "the stub has no PACK 131 to stamp (not a payload-free installer)";
        }
        return false;
    }
    if (std::string_view(reinterpret_cast<const char*>(stub) + placeholder.file_offset,
                         placeholder.size) != kPayloadPlaceholder) {
        *error = "the stub carries a payload already (its PACK 131 is not the placeholder)";
        return false;
    }
    if (image.file_alignment() < kPageSize || image.file_alignment() != image.section_alignment()) {
        *error = "the stub's file alignment is " + std::to_string(image.file_alignment()) +
                 " and its section alignment " + std::to_string(image.section_alignment()) +
                 ": the system maps a program file only when both are the same, 4096 or more, "
                 "and would read the whole installer, payload and all, into memory at start "
                 "(link the stub with -Wl,--file-alignment,4096)";
        return false;
    }
    if (image.raw_end() != stub_size && !image.EndsInStringTable()) {
        *error = "the stub has data after its last section";
        return false;
    }
    if (image.checksum_offset() % 2 != 0) {
        *error = "the stub's headers are not aligned";
        return false;
    }
    const uint32_t count = static_cast<uint32_t>(image.sections().size());
    const uint32_t header_at = image.section_table_offset() + count * kSectionHeaderSize;
    if (header_at + kSectionHeaderSize > image.size_of_headers() ||
        std::any_of(stub + header_at, stub + header_at + kSectionHeaderSize,
                    [](uint8_t byte) { return byte != 0; })) {
        *error = "the stub's headers have no room for one more section";
        return false;
    }
    uint64_t virtual_end = image.size_of_image();
    for (const PeSection& section : image.sections()) {
        virtual_end = std::max<uint64_t>(
            virtual_end, static_cast<uint64_t>(section.virtual_address) + section.virtual_size);
    }
    plan->pack_offset = AlignUp(stub_size, image.file_alignment());
    plan->section_rva = AlignUp(virtual_end, image.section_alignment());
    plan->file_alignment = image.file_alignment();
    plan->section_alignment = image.section_alignment();
    plan->section_header_offset = header_at;
    plan->section_count = count;
    plan->number_of_sections_offset = image.number_of_sections_offset();
    plan->size_of_image_offset = image.size_of_image_offset();
    plan->data_entry_offset = placeholder.data_entry_offset;
    plan->checksum_offset = image.checksum_offset();
    return true;
}

uint64_t StampedFileSize(const StampPlan& plan, uint64_t pack_size) {
    return plan.pack_offset + AlignUp(pack_size, plan.file_alignment);
}

bool FinishStamp(const StampPlan& plan, uint64_t pack_size, uint8_t* file, size_t file_size,
                 std::string* error) {
    const uint64_t image_size = AlignUp(plan.section_rva + pack_size, plan.section_alignment);
    if (pack_size == 0 || image_size > kMaxStampedPack ||
        file_size != StampedFileSize(plan, pack_size)) {
        *error = pack_size == 0 ? "the pack is empty" : "the pack is too large for a program file";
        return false;
    }
    uint8_t* header = file + plan.section_header_offset;
    std::memcpy(header, kPackSectionName, sizeof kPackSectionName - 1);
    PutLe32(static_cast<uint32_t>(pack_size), header + 8);
    PutLe32(static_cast<uint32_t>(plan.section_rva), header + 12);
    PutLe32(static_cast<uint32_t>(AlignUp(pack_size, plan.file_alignment)), header + 16);
    PutLe32(static_cast<uint32_t>(plan.pack_offset), header + 20);
    PutLe32(kPackSectionCharacteristics, header + 36);
    PutLe16(plan.section_count + 1, file + plan.number_of_sections_offset);
    PutLe32(static_cast<uint32_t>(image_size), file + plan.size_of_image_offset);
    PutLe32(static_cast<uint32_t>(plan.section_rva), file + plan.data_entry_offset);
    PutLe32(static_cast<uint32_t>(pack_size), file + plan.data_entry_offset + 4);
    PutLe32(PeChecksum(file, file_size, plan.checksum_offset), file + plan.checksum_offset);
    return true;
}
