#include "tools/dompack/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr uint8_t kEmpty[1] = {0};

}  // namespace

MappedFile::~MappedFile() {
    if (mapped_) {
        munmap(const_cast<uint8_t*>(data_), size_);
    }
}

bool MappedFile::Open(const std::string& path, std::string* error) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    struct stat info;
    bool ok = fstat(fd, &info) == 0;
    if (!ok) {
        *error = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        *error = "not a regular file";
        ok = false;
    } else if (static_cast<uint64_t>(info.st_size) > UINT32_MAX) {
        *error = "file of 4 GiB or more";
        ok = false;
    } else if (info.st_size == 0) {
        data_ = kEmpty;
    } else {
        size_t length = static_cast<size_t>(info.st_size);
        void* mapping = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapping == MAP_FAILED) {
            *error = std::strerror(errno);
            ok = false;
        } else {
            madvise(mapping, length, MADV_SEQUENTIAL);
            data_ = static_cast<const uint8_t*>(mapping);
            size_ = static_cast<uint32_t>(length);
            mapped_ = true;
        }
    }
    close(fd);
    return ok;
}
