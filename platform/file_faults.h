#pragma once

// A seam in the file layer for tests: a hook, when set, is asked before each file operation and
// can make it fail with a chosen error. A failed write may first land part of its data, as a
// disk that fills up in the middle of a write does. Without a hook every operation runs as is.

#include <cstdint>
#include <string>

#include "platform/fs_error.h"

namespace platform {

enum class FileOp {
    kCreateFolder,
    kRemoveFolder,
    kRemoveFile,
    kSetCurrentFolder,
    kCreateFile,
    kWrite,
    kClose,
};

struct FileFault {
    FsError error = FsError::kOk;  // kOk: no fault, the operation runs
    uint32_t bytes_landed = 0;     // a failing write: how many bytes are written before it fails
};

class FileFaultHook {
  public:
    virtual ~FileFaultHook() = default;
    // `path` is the operation's path; empty for writes and closes.
    virtual FileFault Before(FileOp op, const std::string& path) = 0;
};

// Makes `hook` the process-wide hook (null: none) and returns the one it replaces.
FileFaultHook* SetFileFaultHook(FileFaultHook* hook);

// What the hook decides for an operation; no fault without a hook. Called by the back ends.
FileFault CheckFileFault(FileOp op, const std::string& path);

// For the back ends: true (with the error) when the hook fails the operation.
inline bool FaultInjected(FileOp op, const std::string& path, FsError* error) {
    *error = CheckFileFault(op, path).error;
    return *error != FsError::kOk;
}

}  // namespace platform
