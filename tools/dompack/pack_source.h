#pragma once

// The pack a file holds: a pack archive itself, or an installer (Setup.exe) whose PACK 131 it
// is, found through the program file's resource directory. list, verify and extract take either.

#include <cstdint>
#include <string>

#include "tools/dompack/mapped_file.h"
#include "tools/dompack/pe_image.h"

class PackSource {
  public:
    // False with `error` and the exit status to end with: kExitUsage when the file cannot be
    // read, kExitFaulty for a program file that is damaged or carries no payload.
    bool Open(const std::string& path, std::string* error, int* status);

    const uint8_t* data() const { return data_; }
    uint32_t size() const { return size_; }
    bool is_program() const { return is_program_; }
    const PeImage& image() const { return image_; }  // when is_program()

  private:
    MappedFile file_;
    PeImage image_;
    const uint8_t* data_ = nullptr;
    uint32_t size_ = 0;
    bool is_program_ = false;
};

// For `dompack verify` of a program file: every resource the installer needs is there and
// whole. False with `error` naming the first one missing or damaged by its type and id.
bool CheckInstallerResources(const PeImage& image, std::string* error);
