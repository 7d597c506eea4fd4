// Files and folders through the Win32 ANSI API. GetLastError is mapped onto the codes the
// installer's rules distinguish; "file not found" counts as "path not found".

#include <windows.h>

#include "platform/file_faults.h"
#include "platform/files.h"
#include "platform/win32/final_path.h"
#include "platform/win32/windows_version.h"

namespace platform {

namespace {

FsError Mapped(DWORD code) {
    switch (code) {
        case ERROR_SUCCESS:
            return FsError::kOk;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return FsError::kPathNotFound;
        case ERROR_ACCESS_DENIED:
            return FsError::kAccessDenied;
        case ERROR_HANDLE_DISK_FULL:
            return FsError::kHandleDiskFull;
        case ERROR_NO_SPOOL_SPACE:
            return FsError::kNoSpoolSpace;
        case ERROR_DISK_FULL:
            return FsError::kDiskFull;
        case ERROR_DIR_NOT_EMPTY:
            return FsError::kDirNotEmpty;
        case ERROR_ALREADY_EXISTS:
            return FsError::kAlreadyExists;
        default:
            return FsError::kOther;
    }
}

FsError FromLastError() {
    const DWORD code = GetLastError();
    const FsError error = Mapped(code);
    NoteSystemError(code, error);
    return error;
}

FsError Result(BOOL ok) {
    return ok ? FsError::kOk : FromLastError();
}

HANDLE HandleOf(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

std::string SystemErrorText(uint32_t code) {
    char text[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                          text[length - 1] == ' ' || text[length - 1] == '.')) {
        --length;
    }
    return std::string(text, length);
}

FsError CreateFolder(const std::string& path) {
    if (FsError fault; FaultInjected(FileOp::kCreateFolder, path, &fault)) {
        return fault;
    }
    return Result(CreateDirectoryA(path.c_str(), nullptr));
}

// A link to a folder is refused, never removed: RemoveDirectoryA on one removes the folder it
// leads to when that is empty (under wine, which keeps the link). A missing name goes to
// RemoveDirectoryA for its error code, at the cost of one look at the name.
FsError RemoveFolder(const std::string& path) {
    if (FsError fault; FaultInjected(FileOp::kRemoveFolder, path, &fault)) {
        return fault;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || LeadsElsewhere(path))) {
        return Refusal();
    }
    return Result(RemoveDirectoryA(path.c_str()));
}

// A link is refused, never deleted: DeleteFileA on a link to a file deletes the file it leads to
// (under wine, which keeps the link). So is a name whose final path cannot be read.
FsError RemoveFile(const std::string& path) {
    if (FsError fault; FaultInjected(FileOp::kRemoveFile, path, &fault)) {
        return fault;
    }
    if (LeadsElsewhere(path)) {
        return Refusal();
    }
    return Result(DeleteFileA(path.c_str()));
}

FsError CopyFileOver(const std::string& from, const std::string& to) {
    return Result(CopyFileA(from.c_str(), to.c_str(), FALSE));
}

PathKind QueryPathKind(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return PathKind::kMissing;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || LeadsElsewhere(path)) {
        return PathKind::kLink;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kFolder : PathKind::kFile;
}

FsError SetCurrentFolder(const std::string& path) {
    if (FsError fault; FaultInjected(FileOp::kSetCurrentFolder, path, &fault)) {
        return fault;
    }
    return Result(SetCurrentDirectoryA(path.c_str()));
}

bool GetCurrentFolder(std::string* path) {
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) {
        return false;
    }
    std::string buffer(needed, '\0');
    DWORD length = GetCurrentDirectoryA(needed, buffer.data());
    if (length == 0 || length >= needed) {
        return false;  // failed, or moved to a longer path in between
    }
    buffer.resize(length);
    *path = buffer;
    return true;
}

bool GetTempFolder(std::string* path) {
    char buffer[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) {
        return false;
    }
    std::string folder(buffer, length);
    if (folder.back() != kPathSeparator) {
        folder += kPathSeparator;
    }
    *path = folder;
    return true;
}

// The Windows 95 family has GetDiskFreeSpaceExA only from its OEM Service Release 2 on (build
// numbers above 100 there), and only it reports more than 2 GB; everywhere else the cluster
// figures are multiplied out in 64 bits.
bool GetFreeBytes(const std::string& path, uint64_t* bytes) {
    OSVERSIONINFOA version;
    if (GetWindowsVersion(&version) && IsWindows95Family(version) && version.dwBuildNumber > 100) {
        ULARGE_INTEGER available;
        ULARGE_INTEGER total;
        ULARGE_INTEGER total_free;
        if (GetDiskFreeSpaceExA(path.c_str(), &available, &total, &total_free)) {
            *bytes = available.QuadPart;
            return true;
        }
    }
    DWORD sectors_per_cluster = 0;
    DWORD bytes_per_sector = 0;
    DWORD free_clusters = 0;
    DWORD total_clusters = 0;
    if (!GetDiskFreeSpaceA(path.c_str(), &sectors_per_cluster, &bytes_per_sector, &free_clusters,
                           &total_clusters)) {
        return false;
    }
    *bytes = static_cast<uint64_t>(sectors_per_cluster) * bytes_per_sector * free_clusters;
    return true;
}

// --- FolderLister ---

struct FolderLister::State {
    HANDLE find;            // the open enumeration
    WIN32_FIND_DATAA data;  // the entry FindFirstFileA found, until Next hands it out
    bool has_pending;
};

bool FolderLister::Open(const std::string& folder) {
    Close();
    auto* state = new State;
    state->find = FindFirstFileA(JoinPath(folder, "*").c_str(), &state->data);
    if (state->find == INVALID_HANDLE_VALUE) {
        delete state;
        return false;
    }
    state->has_pending = true;
    state_ = state;
    return true;
}

bool FolderLister::Next(FolderEntry* entry) {
    if (state_ == nullptr) {
        return false;
    }
    if (!state_->has_pending && !FindNextFileA(state_->find, &state_->data)) {
        return false;
    }
    state_->has_pending = false;
    const DWORD attributes = state_->data.dwFileAttributes;
    entry->name = state_->data.cFileName;
    // A link to a folder (junction, symbolic link) is a folder that RemoveFolder refuses.
    entry->is_folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry->is_link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return true;
}

void FolderLister::Close() {
    if (state_ != nullptr) {
        FindClose(state_->find);
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
    // A new name first: nothing stands there that could lead elsewhere, and it costs one look
    // at the name, which a copy into an empty folder makes for every file.
    SECURITY_ATTRIBUTES inheritable = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, &inheritable, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
        // Something stands under the name. It is truncated only when it is the file itself: a
        // link to a file elsewhere, or one to nothing (the name exists, yet no file answers
        // to it), would be written through.
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES || LeadsElsewhere(path)) {
            return Refusal();
        }
        file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, &inheritable, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        return FromLastError();
    }
    handle_ = reinterpret_cast<intptr_t>(file);
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
        DWORD done = 0;
        if (landed > 0 && WriteFile(HandleOf(handle_), data, landed, &done, nullptr)) {
            *written = done;
        }
        return fault.error;
    }
    DWORD done = 0;
    if (!WriteFile(HandleOf(handle_), data, size, &done, nullptr)) {
        *written = done;
        FsError error = FromLastError();
        return error == FsError::kOk ? FsError::kOther : error;
    }
    *written = done;
    return done < size ? FsError::kDiskFull : FsError::kOk;
}

FsError OutputFile::Seek(uint64_t offset) {
    if (!IsOpen()) {
        return FsError::kOther;
    }
    LONG high = static_cast<LONG>(offset >> 32);
    SetLastError(ERROR_SUCCESS);
    DWORD low = SetFilePointer(HandleOf(handle_), static_cast<LONG>(offset & 0xFFFFFFFFu), &high,
                               FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) {
        return FromLastError();
    }
    return FsError::kOk;
}

FsError OutputFile::Close() {
    if (!IsOpen()) {
        return FsError::kOk;
    }
    HANDLE file = HandleOf(handle_);
    handle_ = kClosed;
    const FsError result = Result(CloseHandle(file));
    if (FsError fault; FaultInjected(FileOp::kClose, {}, &fault)) {
        return fault;
    }
    return result;
}

}  // namespace platform
