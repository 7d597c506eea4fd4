#include "tools/dompack/temporary_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

TemporaryFile::~TemporaryFile() {
    if (fd_ >= 0) {
        close(fd_);
    }
    if (!path_.empty()) {
        unlink(path_.c_str());
    }
}

bool TemporaryFile::Create(const std::string& final_path) {
    std::string pattern = final_path + ".tmp-XXXXXX";
    fd_ = mkstemp(pattern.data());
    if (fd_ < 0) {
        return false;
    }
    path_ = pattern;
    // mkstemp makes the file private; give it the mode a new file normally gets.
    mode_t mask = umask(0);
    umask(mask);
    return fchmod(fd_, 0666 & ~mask) == 0;
}

bool TemporaryFile::Commit(const std::string& final_path) {
    int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0 || rename(path_.c_str(), final_path.c_str()) != 0) {
        return false;
    }
    path_.clear();
    return true;
}
