#include "platform/win32/final_path.h"

#include <windows.h>

#include <mutex>

namespace platform {

namespace {

using GetFinalPathFunction = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);

GetFinalPathFunction FinalPathFunction() {
    static const auto function = reinterpret_cast<GetFinalPathFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    return function;
}

// Where `path` leads, in DOS form without the "\\?\" prefix; empty when that cannot be told.
std::string FinalPathOf(GetFinalPathFunction get_final_path, const std::string& path) {
    HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::string();
    }
    char buffer[2 * MAX_PATH];
    const DWORD length = get_final_path(handle, buffer, sizeof buffer, 0);
    CloseHandle(handle);
    if (length == 0 || length >= sizeof buffer) {
        return std::string();
    }
    std::string final_path(buffer, length);
    if (final_path.rfind("\\\\?\\", 0) == 0) {
        final_path.erase(0, 4);
    }
    return final_path;
}

// The same for a folder, remembered for the last folder asked about: a removal or a copy asks
// about every file of one folder in a row, and each answer costs kernel calls. A folder that has
// since been put elsewhere cannot make a link look like a file: its entries' own final paths then
// lie elsewhere too, and so do not match.
std::string FolderFinalPathOf(GetFinalPathFunction get_final_path, const std::string& folder) {
    static std::mutex mutex;
    static std::string asked;
    static std::string answer;
    std::lock_guard<std::mutex> hold(mutex);
    if (folder != asked || answer.empty()) {
        answer = FinalPathOf(get_final_path, folder);
        asked = folder;
    }
    return answer;
}

std::string FullPathOf(const std::string& path) {
    char buffer[2 * MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
}

}  // namespace

bool LeadsElsewhere(const std::string& path) {
    const GetFinalPathFunction get_final_path = FinalPathFunction();
    if (get_final_path == nullptr) {
        return false;
    }
    std::string full = FullPathOf(path);
    while (full.size() > 3 && full.back() == '\\') {
        full.pop_back();
    }
    const size_t slash = full.find_last_of('\\');
    if (slash == std::string::npos || slash + 1 == full.size()) {
        return false;  // a drive root is itself
    }
    const std::string final_path = FinalPathOf(get_final_path, full);
    if (final_path.empty()) {
        return false;
    }
    // The entry itself lies where its folder really is, under its own name; a folder reached
    // through a link (a linked Desktop, say) does not make the entries in it links.
    std::string expected = FolderFinalPathOf(get_final_path, full.substr(0, slash + 1));
    if (expected.empty()) {
        return false;
    }
    if (expected.back() != '\\') {
        expected += '\\';
    }
    expected += full.substr(slash + 1);
    return lstrcmpiA(final_path.c_str(), expected.c_str()) != 0;
}

}  // namespace platform
