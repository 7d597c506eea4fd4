#pragma once

// A whole file mapped read-only into memory, released by the destructor.

#include <cstdint>
#include <string>

class MappedFile {
  public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // False with a message when the file cannot be opened or mapped, or is 4 GiB or more (a
    // pack's size is a 32-bit count).
    bool Open(const std::string& path, std::string* error);

    const uint8_t* data() const { return data_; }
    uint32_t size() const { return size_; }

  private:
    const uint8_t* data_ = nullptr;  // the mapping, or a static empty block for an empty file
    uint32_t size_ = 0;
    bool mapped_ = false;  // data_ is a mapping of size_ bytes to unmap
};
