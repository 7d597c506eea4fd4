#pragma once

#include <cstdint>

namespace platform {

// Why a file-system call failed. The values are the Win32 error codes that the installer's rules
// distinguish; every back end maps its own errors onto them and anything else becomes kOther.
enum class FsError : uint32_t {
    kOk = 0,
    kPathNotFound = 3,  // also a missing file
    kAccessDenied = 5,
    kHandleDiskFull = 39,
    kNoSpoolSpace = 62,  // the directory is full
    kDiskFull = 112,
    kDirNotEmpty = 145,
    kAlreadyExists = 183,
    kOther = 0xFFFFFFFFu,
};

// Disk full or directory full: the failures the user can fix and retry.
inline bool IsOutOfSpace(FsError e) {
    return e == FsError::kHandleDiskFull || e == FsError::kDiskFull || e == FsError::kNoSpoolSpace;
}

}  // namespace platform
