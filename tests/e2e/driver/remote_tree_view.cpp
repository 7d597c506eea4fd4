#include "tests/e2e/driver/remote_tree_view.h"

#include <cstring>

namespace e2e {

namespace {

constexpr size_t kTextCapacity = MAX_PATH;
constexpr int kDriveSearchDepth = 3;

struct RemoteItem {
    TVITEMA item;
    char text[kTextCapacity];
};

bool SameName(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && SameName(text.substr(text.size() - tail.size()), tail);
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = path.find('\\', start);
        const std::string name = path.substr(start, end == std::string::npos ? end : end - start);
        if (!name.empty()) {
            names.push_back(name);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return names;
}

}  // namespace

RemoteTreeView::RemoteTreeView(HWND tree) : tree_(tree) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tree, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_ != nullptr) {
        remote_ = VirtualAllocEx(process_, nullptr, sizeof(RemoteItem), MEM_COMMIT | MEM_RESERVE,
                                 PAGE_READWRITE);
    }
}

RemoteTreeView::~RemoteTreeView() {
    if (remote_ != nullptr) {
        VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
    }
    if (process_ != nullptr) {
        CloseHandle(process_);
    }
}

HTREEITEM RemoteTreeView::Root() const {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

std::vector<HTREEITEM> RemoteTreeView::Children(HTREEITEM item) const {
    SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    std::vector<HTREEITEM> children;
    auto next = [&](WPARAM how, HTREEITEM from) {
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(tree_, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
    };
    for (HTREEITEM child = next(TVGN_CHILD, item); child != nullptr;
         child = next(TVGN_NEXT, child)) {
        children.push_back(child);
    }
    return children;
}

std::string RemoteTreeView::Text(HTREEITEM item) const {
    if (!Valid()) {
        return std::string();
    }
    auto* remote = static_cast<RemoteItem*>(remote_);
    RemoteItem local = {};
    local.item.mask = TVIF_TEXT | TVIF_HANDLE;
    local.item.hItem = item;
    local.item.pszText = remote->text;
    local.item.cchTextMax = kTextCapacity;
    if (!WriteProcessMemory(process_, remote_, &local, sizeof local, nullptr) ||
        !SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote_)) ||
        !ReadProcessMemory(process_, remote_, &local, sizeof local, nullptr)) {
        return std::string();
    }
    local.text[kTextCapacity - 1] = '\0';
    // The control may answer with a text of its own rather than fill the buffer given.
    if (local.item.pszText != remote->text) {
        char own[kTextCapacity] = "";
        ReadProcessMemory(process_, local.item.pszText, own, sizeof own - 1, nullptr);
        return own;
    }
    return local.text;
}

HTREEITEM RemoteTreeView::Selection() const {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

bool RemoteTreeView::Select(HTREEITEM item) const {
    return SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
}

HTREEITEM RemoteTreeView::FindFolder(const std::string& path) const {
    const std::vector<std::string> names = SplitPath(path);
    if (names.empty() || names[0].size() != 2 || names[0][1] != ':') {
        return nullptr;
    }
    const std::string drive = "(" + names[0] + ")";
    // The drive lies a few levels below the root (Desktop, My Computer): a level is searched
    // whole before any of its items is expanded, so nothing beside the way there is opened.
    HTREEITEM found = nullptr;
    std::vector<HTREEITEM> level = {Root()};
    for (int depth = 0; depth <= kDriveSearchDepth && found == nullptr && !level.empty(); ++depth) {
        for (HTREEITEM item : level) {
            if (EndsWith(Text(item), drive)) {
                found = item;
                break;
            }
        }
        std::vector<HTREEITEM> below;
        for (size_t i = 0; found == nullptr && i < level.size(); ++i) {
            for (HTREEITEM child : Children(level[i])) {
                below.push_back(child);
            }
        }
        level = below;
    }
    for (size_t i = 1; i < names.size() && found != nullptr; ++i) {
        HTREEITEM parent = found;
        found = nullptr;
        for (HTREEITEM child : Children(parent)) {
            if (SameName(Text(child), names[i])) {
                found = child;
                break;
            }
        }
    }
    return found;
}

}  // namespace e2e
