#include "tests/e2e/driver/file_helpers.h"

#include <windows.h>

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

bool SameFolder(const std::string& a, const std::string& b) {
    return lstrcmpiA(WithoutTrailingBackslash(a).c_str(), WithoutTrailingBackslash(b).c_str()) == 0;
}

}  // namespace e2e
