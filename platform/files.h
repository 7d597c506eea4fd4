#pragma once

// Files and folders. Paths are byte strings in the platform's own form: Windows paths with '\'
// in the win32 build, POSIX paths with '/' natively. Code that builds paths uses JoinPath so the
// same engine code runs on both.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/fs_error.h"

namespace platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// folder + separator + name; no second separator when folder already ends in one (a drive root).
std::string JoinPath(std::string_view folder, std::string_view name);

FsError CreateFolder(const std::string& path);  // kAlreadyExists when it exists (as anything)
FsError RemoveFolder(const std::string& path);  // the folder must be empty; never a link
FsError RemoveFile(const std::string& path);
FsError CopyFileOver(const std::string& from, const std::string& to);  // replaces `to`
FsError SetCurrentFolder(const std::string& path);
bool GetCurrentFolder(std::string* path);
bool GetTempFolder(std::string* path);                        // ends in the separator
bool GetFreeBytes(const std::string& path, uint64_t* bytes);  // free to this user where path is

enum class PathKind {
    kMissing,
    kFile,
    kFolder,
    kLink,     // symbolic link, junction or other reparse point: reported, never followed
    kSpecial,  // a pipe, a device or a socket: neither file nor folder, never opened
};

PathKind QueryPathKind(const std::string& path);

struct FolderEntry {
    std::string name;
    bool is_folder = false;  // removed with RemoveFolder; on Windows also a link to a folder
    bool is_link = false;    // symbolic link, junction or other reparse point; never descended into
};

// One open enumeration of a folder's entries ("." and ".." included, as the platform lists them).
class FolderLister {
  public:
    FolderLister() = default;
    ~FolderLister() { Close(); }
    FolderLister(const FolderLister&) = delete;
    FolderLister& operator=(const FolderLister&) = delete;

    bool Open(const std::string& folder);  // false: missing, not a folder, or refused
    bool Next(FolderEntry* entry);         // false at the end (or on any failure)
    void Close();

  private:
    struct State;
    State* state_ = nullptr;  // the back end's open enumeration
};

// A file opened for writing: no sharing, always created anew (an existing file is emptied).
// Only a regular file is ever opened: a link (on POSIX systems, and where the system can tell a
// link to a file on Windows) is refused, and so is a pipe or device, without waiting on it.
class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile() { Close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    FsError Create(const std::string& path);
    // Writes size bytes at the current position; *written tells how many landed, also on failure.
    // A short write without an error code reports kDiskFull.
    FsError Write(const void* data, uint32_t size, uint32_t* written);
    FsError Seek(uint64_t offset);  // absolute position from the start of the file
    FsError Close();
    bool IsOpen() const { return handle_ != kClosed; }

  private:
    static constexpr intptr_t kClosed = -1;
    intptr_t handle_ = kClosed;  // HANDLE or file descriptor
};

}  // namespace platform
