#include "install/folder_browser_rules.h"

#include <cstddef>

namespace install {

namespace {

constexpr size_t kShortestFolder = 3;  // "C:\"; anything shorter is left as it is
constexpr size_t kStatusTextLimit = 45;

// The last position where `name` occurs in `path`, matched exactly; npos without one.
size_t LastOccurrence(const std::string& path, const std::string& name) {
    if (name.size() < 2 || name.size() > path.size()) {
        return std::string::npos;
    }
    for (size_t p = path.size() - name.size() + 1; p-- > 0;) {
        if (path.compare(p, name.size(), name) == 0) {
            return p;
        }
    }
    return std::string::npos;
}

void AppendBackslash(std::string* s) {
    if (s->back() != '\\') {
        *s += '\\';
    }
}

}  // namespace

std::string InitialFolderOf(const std::string& path, const std::string& subfolder) {
    size_t p = LastOccurrence(path, subfolder);
    if (p == std::string::npos) {
        return path;
    }
    if (p > 1 && path[p - 1] == '\\' && path[p - 2] != ':') {
        --p;  // the separating backslash goes too, a drive root's stays
    }
    return path.substr(0, p);
}

std::string StatusTextOf(const std::string& folder, const std::string& subfolder) {
    std::string s = folder;
    if (s.size() < kShortestFolder) {
        return s;
    }
    AppendBackslash(&s);
    if (!subfolder.empty()) {
        s += subfolder;
        s += '\\';
    }
    if (s.size() > kStatusTextLimit) {
        s.resize(kStatusTextLimit);
        s += "...";
    }
    return s;
}

std::string InstallPathOf(const std::string& selected_folder, const std::string& subfolder) {
    std::string s = selected_folder;
    if (s.size() < kShortestFolder) {
        return s;
    }
    AppendBackslash(&s);
    return s + subfolder;
}

}  // namespace install
