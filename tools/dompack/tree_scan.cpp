#include "tools/dompack/tree_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/cp1252.h"
#include "engine/pack_names.h"

namespace {

// A directory byte count must stay below 2^31 for the reader to take it in one read.
constexpr size_t kMaxEntries = kPackMaxFileSize / kPackEntrySize;

class TreeScanner {
  public:
    TreeScanner(std::vector<ScannedEntry>* entries, std::string* error)
        : entries_(entries), error_(error) {}

    ScanResult ScanFolder(const std::string& folder) {
        std::vector<std::string> names;
        if (!ListFolder(folder, &names)) {
            return IoError(folder);
        }
        for (const std::string& name : names) {
            if (ScanResult result = ScanItem(folder + "/" + name, name);
                result != ScanResult::kOk) {
                return result;
            }
        }
        return ScanResult::kOk;
    }

  private:
    ScanResult ScanItem(const std::string& path, const std::string& host_name) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0) {
            return IoError(path);
        }
        PackEntryKind kind = S_ISDIR(info.st_mode) ? PackEntryKind::kFolder : PackEntryKind::kFile;
        if (S_ISLNK(info.st_mode)) {
            return Refuse(path, "symbolic links cannot be packed");
        }
        if (!S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)) {
            return Refuse(path, "special files cannot be packed");
        }
        if (kind == PackEntryKind::kFile &&
            static_cast<uint64_t>(info.st_size) > kPackMaxFileSize) {
            return Refuse(path, "file is larger than 2147483647 bytes");
        }
        std::string name;
        if (!Utf8ToCp1252(host_name, &name)) {
            return Refuse(path, "name cannot be stored in code page 1252");
        }
        if (NameFault fault = CheckName(name, kind); fault != NameFault::kNone) {
            return Refuse(path, NameFaultMessage(fault));
        }
        if (WalkFault fault = walk_.Step(name, kind); fault != WalkFault::kNone) {
            return Refuse(path, WalkFaultMessage(fault));
        }
        uint32_t size = kind == PackEntryKind::kFile ? static_cast<uint32_t>(info.st_size) : 0;
        if (!Add({kind, name, size, kind == PackEntryKind::kFile ? path : std::string()})) {
            return Refuse(path, "too many entries for one pack");
        }
        if (kind == PackEntryKind::kFile) {
            return ScanResult::kOk;
        }
        if (ScanResult result = ScanFolder(path); result != ScanResult::kOk) {
            return result;
        }
        walk_.Step(kPackUpName, PackEntryKind::kUp);
        return Add({PackEntryKind::kUp, std::string(kPackUpName), 0, {}})
                   ? ScanResult::kOk
                   : Refuse(path, "too many entries for one pack");
    }

    bool Add(ScannedEntry entry) {
        if (entries_->size() >= kMaxEntries) {
            return false;
        }
        entries_->push_back(std::move(entry));
        return true;
    }

    static bool ListFolder(const std::string& folder, std::vector<std::string>* names) {
        DIR* dir = opendir(folder.c_str());
        if (dir == nullptr) {
            return false;
        }
        errno = 0;
        while (dirent* item = readdir(dir)) {
            if (std::strcmp(item->d_name, ".") != 0 && std::strcmp(item->d_name, "..") != 0) {
                names->push_back(item->d_name);
            }
        }
        int read_error = errno;
        closedir(dir);
        errno = read_error;
        std::sort(names->begin(), names->end());
        return read_error == 0;
    }

    ScanResult IoError(const std::string& path) {
        *error_ = path + ": " + std::strerror(errno);
        return ScanResult::kIoError;
    }

    ScanResult Refuse(const std::string& path, const char* reason) {
        *error_ = path + ": " + reason;
        return ScanResult::kRefused;
    }

    std::vector<ScannedEntry>* entries_;
    std::string* error_;
    PackWalk walk_;
};

}  // namespace

ScanResult ScanTree(const std::string& root, std::vector<ScannedEntry>* entries,
                    std::string* error) {
    struct stat info;
    if (stat(root.c_str(), &info) != 0) {
        *error = root + ": " + std::strerror(errno);
        return ScanResult::kIoError;
    }
    if (!S_ISDIR(info.st_mode)) {
        *error = root + ": not a folder";
        return ScanResult::kIoError;
    }
    entries->clear();
    return TreeScanner(entries, error).ScanFolder(root);
}
