#pragma once

#include <cstdint>
#include <string>

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

// The system's own code behind the last error this thread's file calls mapped (GetLastError on
// Windows, errno elsewhere), with what it was mapped to. Read it right after the failing call: an
// FsError that a back end decides by itself (a link refused, an injected fault) notes no code.
struct SystemError {
    uint32_t code = 0;
    FsError mapped_to = FsError::kOk;
};
SystemError LastSystemError();
void NoteSystemError(uint32_t code, FsError mapped_to);  // for the back ends
// kAccessDenied for a refusal a back end decides by itself (a link, a name that leads nowhere):
// no system code stands behind it, so none that an earlier call noted is taken for its reason.
FsError Refusal();

// The system's own words for `code`, without the full stop and line end; "" when it has none.
std::string SystemErrorText(uint32_t code);

}  // namespace platform
