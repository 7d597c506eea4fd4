#include "platform/win32/final_path.h"

#include <windows.h>

#include <mutex>
#include <utility>

namespace platform {

namespace {

using GetFinalPathFunction = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);

GetFinalPathFunction FinalPathFunction() {
    static const auto function = reinterpret_cast<GetFinalPathFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    return function;
}

// Calls `fill(buffer, size)`, which answers as the system's path calls do (0: failed; below the
// size: the length written; otherwise the size it needs, its NUL included), and once more with
// the size it asked for when the first buffer was too small. False when there is no answer.
template <typename Fill>
bool GrowingCall(Fill fill, std::string* text) {
    std::string buffer(MAX_PATH, '\0');
    DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.assign(length, '\0');
        length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    if (length == 0 || length >= buffer.size()) {
        return false;
    }
    buffer.resize(length);
    *text = std::move(buffer);
    return true;
}

enum class FinalPath {
    kRead,     // the final path was read
    kMissing,  // nothing answers to the name
    kUnknown,  // the name exists (or may), yet where it leads cannot be read
};

// Where `path` leads, in DOS form without the "\\?\" prefix.
FinalPath FinalPathOf(GetFinalPathFunction get_final_path, const std::string& path,
                      std::string* final_path) {
    HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FinalPath::kMissing
                                                                              : FinalPath::kUnknown;
    }
    const bool read = GrowingCall(
        [&](char* buffer, DWORD size) { return get_final_path(handle, buffer, size, 0); },
        final_path);
    CloseHandle(handle);
    if (!read) {
        return FinalPath::kUnknown;
    }
    if (final_path->rfind("\\\\?\\", 0) == 0) {
        final_path->erase(0, 4);
    }
    return FinalPath::kRead;
}

// The same for a folder, remembered for the last folder asked about: a removal or a copy asks
// about every file of one folder in a row, and each answer costs kernel calls. A folder that has
// since been put elsewhere cannot make a link look like a file: its entries' own final paths then
// lie elsewhere too, and so do not match. Only a path read is remembered.
bool FolderFinalPathOf(GetFinalPathFunction get_final_path, const std::string& folder,
                       std::string* final_path) {
    static std::mutex mutex;
    static std::string asked;
    static std::string answer;
    std::lock_guard<std::mutex> hold(mutex);
    if (folder != asked) {
        asked.clear();
        if (FinalPathOf(get_final_path, folder, &answer) != FinalPath::kRead) {
            return false;
        }
        asked = folder;
    }
    *final_path = answer;
    return true;
}

bool FullPathOf(const std::string& path, std::string* full) {
    return GrowingCall(
        [&](char* buffer, DWORD size) {
            return GetFullPathNameA(path.c_str(), size, buffer, nullptr);
        },
        full);
}

}  // namespace

bool LeadsElsewhere(const std::string& path) {
    const GetFinalPathFunction get_final_path = FinalPathFunction();
    if (get_final_path == nullptr) {
        return false;
    }
    std::string final_path;
    switch (FinalPathOf(get_final_path, path, &final_path)) {
        case FinalPath::kMissing:
            return false;
        case FinalPath::kUnknown:
            return true;  // it exists, and where it leads cannot be told: never trusted
        case FinalPath::kRead:
            break;
    }
    std::string full;
    if (!FullPathOf(path, &full)) {
        return true;
    }
    while (full.size() > 3 && full.back() == '\\') {
        full.pop_back();
    }
    const size_t slash = full.find_last_of('\\');
    if (slash == std::string::npos || slash + 1 == full.size()) {
        return false;  // a drive root is itself
    }
    // The entry itself lies where its folder really is, under its own name; a folder reached
    // through a link (a linked Desktop, say) does not make the entries in it links.
    std::string expected;
    if (!FolderFinalPathOf(get_final_path, full.substr(0, slash + 1), &expected)) {
        return true;
    }
    if (expected.back() != '\\') {
        expected += '\\';
    }
    expected += full.substr(slash + 1);
    return lstrcmpiA(final_path.c_str(), expected.c_str()) != 0;
}

}  // namespace platform
