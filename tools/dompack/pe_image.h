#pragma once

// Reading and stamping the installer's program file, a PE image, from its bytes: the headers,
// the section table and the resource directory, with every offset and size checked against the
// file's end, so that a damaged or hostile file is refused with a message and never read past.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct PeSection {
    std::string name;
    uint32_t virtual_size = 0;
    uint32_t virtual_address = 0;
    uint32_t raw_size = 0;
    uint32_t raw_offset = 0;
};

// Where one resource's bytes are.
struct PeResource {
    uint32_t data_entry_offset = 0;  // file offset of its data entry (RVA, size, code page)
    uint32_t rva = 0;
    uint32_t size = 0;
    uint32_t file_offset = 0;  // of its first byte
};

class PeImage {
  public:
    // False with `error` when `data` is not a whole PE image: the DOS and PE headers, the
    // optional header (PE32 or PE32+) and the section table must lie inside the file, and so
    // must every section's raw data.
    bool Parse(const uint8_t* data, size_t size, std::string* error);

    // The first language's resource of type `type` (a name such as "PACK", compared without
    // regard to case, or "#N" for the numbered type N) and id `id`. False when there is none
    // (`error` left empty) or when the resource directory or the entry is damaged (`error` set).
    bool FindResource(std::string_view type, uint32_t id, PeResource* resource,
                      std::string* error) const;

    // The file offset of `size` bytes at `rva`, all inside one section's raw data.
    bool FileOffsetOf(uint32_t rva, uint32_t size, uint32_t* offset) const;

    const uint8_t* data() const { return data_; }
    const std::vector<PeSection>& sections() const { return sections_; }
    uint32_t section_alignment() const { return section_alignment_; }
    uint32_t file_alignment() const { return file_alignment_; }
    uint32_t size_of_image() const { return size_of_image_; }
    uint32_t size_of_headers() const { return size_of_headers_; }
    uint32_t checksum_offset() const { return checksum_offset_; }
    uint32_t section_table_offset() const { return section_table_offset_; }
    uint32_t number_of_sections_offset() const { return coff_offset_ + 2; }
    uint32_t size_of_image_offset() const { return optional_offset_ + 56; }
    // The resource data directory's file offset (its RVA, then its size).
    uint32_t resource_directory_offset() const {
        return directories_offset_ + kResourceDirectoryIndex * 8;
    }
    bool is_signed() const { return security_size_ != 0; }
    // The end of the last section's raw data (or of the headers): where unmapped data begins.
    uint32_t raw_end() const { return raw_end_; }
    // The file goes on after raw_end() with its section-name string table, and nothing else.
    bool EndsInStringTable() const;

  private:
    static constexpr uint32_t kResourceDirectoryIndex = 2;  // in the optional header's table

    bool ReadResourceDirectory(uint32_t root, uint32_t offset, uint32_t depth,
                               std::string_view type, uint32_t id, PeResource* resource,
                               std::string* error) const;
    bool EntryMatches(uint32_t root, uint32_t name_field, std::string_view wanted,
                      std::string* error) const;

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    uint32_t coff_offset_ = 0;
    uint32_t optional_offset_ = 0;
    uint32_t directories_offset_ = 0;
    uint32_t checksum_offset_ = 0;
    uint32_t section_table_offset_ = 0;
    uint32_t section_alignment_ = 0;
    uint32_t file_alignment_ = 0;
    uint32_t size_of_image_ = 0;
    uint32_t size_of_headers_ = 0;
    uint32_t resource_rva_ = 0;
    uint32_t resource_size_ = 0;
    uint32_t security_size_ = 0;
    uint32_t symbol_table_offset_ = 0;
    uint32_t symbol_count_ = 0;
    uint32_t raw_end_ = 0;
    std::vector<PeSection> sections_;
};

// The checksum of a PE file as the system's CheckSumMappedFile computes it: the 16-bit words of
// the file (the checksum field itself counted as 0) added with end-around carry, plus the length.
uint32_t PeChecksum(const uint8_t* data, size_t size, uint32_t checksum_offset);

// How a pack is stamped into a stub (the payload-free installer): the file is the stub, zeros up
// to `pack_offset`, the pack, and zeros up to the next file alignment; a new last section holds
// the pack, the placeholder PACK 131's data entry points at it, and the section count, the image
// size and the checksum are set anew. Every other byte of the stub stays as it was.
struct StampPlan {
    uint64_t pack_offset = 0;  // file offset of the pack's first byte
    uint64_t section_rva = 0;
    uint32_t file_alignment = 0;
    uint32_t section_alignment = 0;
    uint32_t section_header_offset = 0;  // where the new section's header goes
    uint32_t section_count = 0;          // the stub's
    uint32_t number_of_sections_offset = 0;
    uint32_t size_of_image_offset = 0;
    uint32_t data_entry_offset = 0;  // the PACK 131 data entry's
    uint32_t checksum_offset = 0;
};

// The largest pack (and image) a stamped program file can hold.
inline constexpr uint64_t kMaxStampedPack = 0x7FFFFFFFu;
// The largest pack the 32-bit installer carries: the loader maps the whole program file into the
// process's 2 GB of addresses, beside everything the install needs. Under wine 8 a pack of
// 1,900 MiB installed and one of 1,940 MiB could not start its copy (bench/large_payload.sh);
// this keeps 100 MiB of that for other systems. dompack setup stops as soon as a pack passes it.
inline constexpr uint64_t kMaxInstallerPack = 1800ull << 20;

// False with `error` for a stub that is not a PE image, has no placeholder PACK 131 (it carries
// a payload already), is signed, cannot be mapped by the system (its file alignment is not its
// section alignment of 4096 or more), has data after its last section, or has no room in its
// headers for one more section.
bool PlanStamp(const uint8_t* stub, size_t stub_size, StampPlan* plan, std::string* error);
uint64_t StampedFileSize(const StampPlan& plan, uint64_t pack_size);
// Sets the headers of `file` (laid out as the plan says, `file_size` bytes, with a pack of
// `pack_size` bytes in place); false for an empty or too large pack.
bool FinishStamp(const StampPlan& plan, uint64_t pack_size, uint8_t* file, size_t file_size,
                 std::string* error);
