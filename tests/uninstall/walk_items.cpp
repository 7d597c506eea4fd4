#include "tests/uninstall/walk_items.h"

#include "tests/uninstall/tree_builder.h"
#include "uninstall/tree_walk.h"

namespace uninstall_test {

namespace {

// The last name of a relative path; a folder's trailing '/' is not part of it.
std::string LastName(std::string relative) {
    if (!relative.empty() && relative.back() == '/') {
        relative.pop_back();
    }
    const size_t slash = relative.rfind('/');
    return slash == std::string::npos ? relative : relative.substr(slash + 1);
}

class Recorder : public WalkSink {
  public:
    bool Deliver(const std::string& name, const std::string& full_path,
                 uint8_t directory_flag) override {
        items.push_back({name, full_path, directory_flag});
        return true;
    }
    std::vector<WalkItem> items;
};

}  // namespace

std::ostream& operator<<(std::ostream& out, const WalkItem& item) {
    return out << "(" << item.name << ", " << item.full_path << ", "
               << static_cast<int>(item.directory_flag) << ")";
}

WalkItem FileItem(const std::string& root, const std::string& relative) {
    return {LastName(relative), PathIn(root, relative), 0};
}

WalkItem FolderItem(const std::string& root, const std::string& relative) {
    return {LastName(relative), PathIn(root, relative), 1};
}

WalkItem LeaveItem(const std::string& root, const std::string& relative) {
    return {"..", PathIn(root, relative), 1};
}

bool Take(CTreeWalker& walker, WalkItem* item) {
    return walker.GetNext(&item->name, &item->full_path, &item->directory_flag);
}

std::vector<WalkItem> WalkWithWalker(const std::string& root) {
    std::vector<WalkItem> items;
    CTreeWalker walker(root);
    WalkItem item;
    while (Take(walker, &item)) {
        items.push_back(item);
    }
    return items;
}

std::vector<WalkItem> WalkOnThisThread(const std::string& root) {
    Recorder recorder;
    WalkTree(root, recorder);
    return recorder.items;
}

}  // namespace uninstall_test
