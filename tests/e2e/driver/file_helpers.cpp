#include "tests/e2e/driver/file_helpers.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace e2e {

namespace {

std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 1 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

std::string ParentOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string TempFolder() {
    char buffer[MAX_PATH + 1] = "";
    const DWORD length = GetTempPathA(sizeof(buffer), buffer);
    return length > 0 && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    *bytes = content.str();
    return !in.bad();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool DeleteFileIfPresent(const std::string& path) {
    DeleteFileA(path.c_str());
    return !FileExists(path);
}

bool CreateFolders(const std::string& path) {
    const std::string folder = WithoutTrailingBackslash(path);
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    const std::string parent = ParentOf(folder);
    if (!parent.empty() && parent.back() != ':' && !CreateFolders(parent)) {
        return false;
    }
    return CreateDirectoryA(folder.c_str(), nullptr) != 0;
}

void RemoveEmptyFolders(const std::string& path, const std::string& stop_at) {
    std::string folder = WithoutTrailingBackslash(path);
    const std::string stop = WithoutTrailingBackslash(stop_at);
    while (!folder.empty() && !SameFolder(folder, stop) && RemoveDirectoryA(folder.c_str())) {
        folder = ParentOf(folder);
    }
}

namespace {

bool IsDotEntry(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool ReadTreeBelow(const std::string& root, const std::string& relative, TreeEntries* entries) {
    const std::string folder = relative.empty() ? root : root + "\\" + relative;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    do {
        if (IsDotEntry(found.cFileName)) {
            continue;
        }
        const std::string name =
            relative.empty() ? found.cFileName : relative + "\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            (*entries)[name] = kLinkEntry;
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*entries)[name] = kFolderEntry;
            ok = ReadTreeBelow(root, name, entries) && ok;
        } else {
            ok = ReadWholeFile(root + "\\" + name, &(*entries)[name]) && ok;
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return ok;
}

}  // namespace

bool ReadTree(const std::string& root, TreeEntries* entries) {
    entries->clear();
    return ReadTreeBelow(root, "", entries);
}

bool RemoveTree(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!IsDotEntry(found.cFileName)) {
                    RemoveTree(path + "\\" + found.cFileName);
                }
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(path.c_str());
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryA(path.c_str());
    } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool WriteFileOfSize(const std::string& path, uint64_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    static const std::string piece(1 << 20, '\0');
    bool ok = true;
    for (uint64_t left = size; ok && left > 0;) {
        const DWORD chunk = static_cast<DWORD>(left < piece.size() ? left : piece.size());
        DWORD written = 0;
        ok = WriteFile(file, piece.data(), chunk, &written, nullptr) && written == chunk;
        left -= chunk;
    }
    return CloseHandle(file) && ok;
}

bool SameFolder(const std::string& a, const std::string& b) {
    return lstrcmpiA(WithoutTrailingBackslash(a).c_str(), WithoutTrailingBackslash(b).c_str()) == 0;
}

}  // namespace e2e
