// Files and folders on POSIX. errno values are mapped onto the Win32 codes the installer's rules
// distinguish, so the same decisions (retry on disk full, "already exists" is no failure, a
// non-empty saved-games folder) come out the same on Linux folders as on Windows ones.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/file_faults.h"
#include "platform/files.h"

namespace platform {

namespace {

FsError Mapped(int error) {
    switch (error) {
        case 0:
            return FsError::kOk;
        case EEXIST:
            return FsError::kAlreadyExists;
        case ENOSPC:
        case EDQUOT:
            return FsError::kDiskFull;
        case ENOENT:
        case ENOTDIR:
            return FsError::kPathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:  // Windows refuses to open or delete a folder as a file this way
            return FsError::kAccessDenied;
        case ENOTEMPTY:
            return FsError::kDirNotEmpty;
        default:
            return FsError::kOther;
    }
}

FsError FromErrno(int error) {
    const FsError mapped = Mapped(error);
    NoteSystemError(static_cast<uint32_t>(error), mapped);
    return mapped;
}

FsError LastError() {
    return FromErrno(errno);
}

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// Writes all of size bytes; *written counts what landed. A write that stores nothing without an
// error is a full disk, as Windows reports a short write.
FsError WriteAll(int fd, const void* data, uint32_t size, uint32_t* written) {
    const char* bytes = static_cast<const char*>(data);
    *written = 0;
    while (*written < size) {
        ssize_t n = write(fd, bytes + *written, size - *written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return LastError();
        }
        if (n == 0) {
            return FsError::kDiskFull;
        }
        *written += static_cast<uint32_t>(n);
    }
    return FsError::kOk;
}

bool IsSameFile(int fd, const std::string& path) {
    struct stat open_info;
    struct stat path_info;
    return fstat(fd, &open_info) == 0 && stat(path.c_str(), &path_info) == 0 &&
           open_info.st_dev == path_info.st_dev && open_info.st_ino == path_info.st_ino;
}

FsError CopyBytes(int from, int to) {
    char buffer[65536];
    for (;;) {
        ssize_t n = read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return LastError();
        }
        if (n == 0) {
            return FsError::kOk;
        }
        uint32_t written = 0;
        FsError error = WriteAll(to, buffer, static_cast<uint32_t>(n), &written);
        if (error != FsError::kOk) {
            return error;
        }
    }
}

}  // namespace

std::string SystemErrorText(uint32_t code) {
    std::string text = std::strerror(static_cast<int>(code));
    while (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text;
}

FsError CreateFolder(const std::string& path) {
    if (FsError fault; FaultInjected(FileOp::kCreateFolder, path, &fault)) {
        return fault;
    }
    return mkdir(path.c_str(), 0777) == 0 ? FsError::kOk : LastError();
}

FsError RemoveFolder(const std::string& path) {
    if (FsError fault; FaultInjected(FileOp::kRemoveFolder, path, &fault)) {
        return fault;
    }
    if (rmdir(path.c_str()) == 0) {
        return FsError::kOk;
    }
    int error = errno;
    if (error == EEXIST) {
        return FsError::kDirNotEmpty;  // what some systems report for a non-empty folder
    }
    if (error == ENOTDIR && Exists(path)) {
        return FsError::kOther;  // the name is a file: Windows reports "not a directory" too
    }
    return FromErrno(error);
}

FsError RemoveFile(const std::string& path) {
    if (FsError fault; FaultInjected(FileOp::kRemoveFile, path, &fault)) {
        return fault;
    }
    return unlink(path.c_str()) == 0 ? FsError::kOk : LastError();
}

// Copies through a fresh `to`; a copy onto the source itself is refused before `to` is truncated,
// and a failed copy leaves no partial file behind.
FsError CopyFileOver(const std::string& from, const std::string& to) {
    int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        return LastError();
    }
    struct stat info;
    FsError refusal = FsError::kOk;
    if (fstat(source, &info) != 0) {
        refusal = LastError();
    } else if (S_ISDIR(info.st_mode)) {
        refusal = FsError::kAccessDenied;  // as Windows answers for a folder
    } else if (IsSameFile(source, to)) {
        refusal = FsError::kOther;  // Windows: a sharing violation
    }
    if (refusal != FsError::kOk) {
        close(source);
        return refusal;
    }
    int target = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, info.st_mode & 0777);
    if (target < 0) {
        FsError error = LastError();
        close(source);
        return error;
    }
    FsError error = CopyBytes(source, target);
    if (close(target) != 0 && error == FsError::kOk) {
        error = LastError();
    }
    close(source);
    if (error != FsError::kOk) {
        unlink(to.c_str());
    }
    return error;
}

PathKind QueryPathKind(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) {
        return PathKind::kMissing;
    }
    if (S_ISLNK(info.st_mode)) {
        return PathKind::kLink;
    }
    if (S_ISDIR(info.st_mode)) {
        return PathKind::kFolder;
    }
    return S_ISREG(info.st_mode) ? PathKind::kFile : PathKind::kSpecial;
}

FsError SetCurrentFolder(const std::string& path) {
    if (FsError fault; FaultInjected(FileOp::kSetCurrentFolder, path, &fault)) {
        return fault;
    }
    return chdir(path.c_str()) == 0 ? FsError::kOk : LastError();
}

bool GetCurrentFolder(std::string* path) {
    std::string buffer(256, '\0');
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr) {
            buffer.resize(buffer.find('\0'));
            *path = buffer;
            return true;
        }
        if (errno != ERANGE) {
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool GetTempFolder(std::string* path) {
    const char* tmpdir = std::getenv("TMPDIR");
    std::string folder = (tmpdir != nullptr && tmpdir[0] != '\0') ? tmpdir : "/tmp";
    if (folder.back() != kPathSeparator) {
        folder += kPathSeparator;
    }
    *path = folder;
    return true;
}

bool GetFreeBytes(const std::string& path, uint64_t* bytes) {
    struct statvfs info;
    if (statvfs(path.c_str(), &info) != 0) {
        return false;
    }
    *bytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
    return true;
}

// --- FolderLister ---

struct FolderLister::State {
    DIR* dir;            // the open enumeration
    std::string folder;  // to look an entry up when the listing does not say what it is
};

bool FolderLister::Open(const std::string& folder) {
    Close();
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    state_ = new State{dir, folder};
    return true;
}

bool FolderLister::Next(FolderEntry* entry) {
    if (state_ == nullptr) {
        return false;
    }
    errno = 0;
    const dirent* found = readdir(state_->dir);
    if (found == nullptr) {
        return false;
    }
    entry->name = found->d_name;
    unsigned char type = found->d_type;
    if (type == DT_UNKNOWN) {
        struct stat info;
        if (lstat(JoinPath(state_->folder, entry->name).c_str(), &info) == 0) {
            type = S_ISLNK(info.st_mode) ? DT_LNK : S_ISDIR(info.st_mode) ? DT_DIR : DT_REG;
        }
    }
    // A symbolic link is removed like a file, wherever it points, and never descended into.
    entry->is_link = type == DT_LNK;
    entry->is_folder = type == DT_DIR;
    return true;
}

void FolderLister::Close() {
    if (state_ != nullptr) {
        closedir(state_->dir);
        delete state_;
        state_ = nullptr;
    }
}

// --- OutputFile ---

FsError OutputFile::Create(const std::string& path) {
    if (FsError fault; FaultInjected(FileOp::kCreateFile, path, &fault)) {
        return fault;
    }
    Close();
    // A new name first: a file this call creates is a regular file and empty, so it needs neither
    // a look nor emptying, which saves a copy into an empty folder four system calls a file.
    // O_EXCL refuses any name that exists, a link (even one to nothing) included.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) {
        handle_ = fd;
        return FsError::kOk;
    }
    if (errno != EEXIST) {
        return LastError();
    }
    // Something stands there. Not through a link, and without blocking: a pipe with no reader
    // would wait for ever. The file is emptied only once it is known to be a regular one.
    fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (fd < 0) {
        return errno == ELOOP || errno == ENXIO ? Refusal() : LastError();
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return Refusal();
    }
    if (ftruncate(fd, 0) != 0 || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        const FsError error = LastError();
        close(fd);
        return error;
    }
    handle_ = fd;
    return FsError::kOk;
}

FsError OutputFile::Write(const void* data, uint32_t size, uint32_t* written) {
    *written = 0;
    if (!IsOpen()) {
        return FsError::kOther;
    }
    const FileFault fault = CheckFileFault(FileOp::kWrite, {});
    if (fault.error != FsError::kOk) {
        const uint32_t landed = fault.bytes_landed < size ? fault.bytes_landed : size;
        WriteAll(static_cast<int>(handle_), data, landed, written);
        return fault.error;
    }
    return WriteAll(static_cast<int>(handle_), data, size, written);
}

FsError OutputFile::Seek(uint64_t offset) {
    if (!IsOpen()) {
        return FsError::kOther;
    }
    off_t position = static_cast<off_t>(offset);
    return lseek(static_cast<int>(handle_), position, SEEK_SET) == position ? FsError::kOk
                                                                            : LastError();
}

FsError OutputFile::Close() {
    if (!IsOpen()) {
        return FsError::kOk;
    }
    int fd = static_cast<int>(handle_);
    handle_ = kClosed;
    const FsError result = close(fd) == 0 ? FsError::kOk : LastError();
    if (FsError fault; FaultInjected(FileOp::kClose, {}, &fault)) {
        return fault;
    }
    return result;
}

}  // namespace platform
