// The in-memory registry of the POSIX build: a tree of keys under two roots, process-wide and
// guarded by one mutex, with the Win32 rules the installer relies on. Key and value names compare
// without regard to ASCII case; a value holds raw bytes (a string is stored without a NUL); a
// reader gets at most its capacity and stops at the first NUL. An open key remembers its root and
// path rather than a node, so a key deleted under an open handle makes that handle fail instead
// of pointing at freed memory.

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/posix/registry_store.h"
#include "platform/registry.h"

namespace platform {

namespace {

struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const {
        size_t common = std::min(a.size(), b.size());
        for (size_t i = 0; i < common; ++i) {
            int x = std::tolower(static_cast<unsigned char>(a[i]));
            int y = std::tolower(static_cast<unsigned char>(b[i]));
            if (x != y) {
                return x < y;
            }
        }
        return a.size() < b.size();
    }
};

struct Node {
    std::map<std::string, std::unique_ptr<Node>, CaseInsensitiveLess> subkeys;
    std::map<std::string, std::string, CaseInsensitiveLess> values;  // raw bytes
};

// Never destroyed: a detached worker may still use the registry while the program exits.
struct Store {
    std::mutex mutex;
    Node local_machine;
    Node current_user;
};

Store& TheStore() {
    static Store* store = new Store;
    return *store;
}

Node& RootNode(RegistryRoot root) {
    return root == RegistryRoot::kLocalMachine ? TheStore().local_machine : TheStore().current_user;
}

using KeyPath = std::vector<std::string>;

// Splits "a\b\c" into its levels; an empty path is the root itself. Empty levels are refused.
bool SplitPath(const std::string& path, KeyPath* levels) {
    levels->clear();
    if (path.empty()) {
        return true;
    }
    size_t start = 0;
    for (;;) {
        size_t end = path.find('\\', start);
        std::string level = path.substr(start, end == std::string::npos ? end : end - start);
        if (level.empty()) {
            return false;
        }
        levels->push_back(level);
        if (end == std::string::npos) {
            return true;
        }
        start = end + 1;
    }
}

// The caller holds the store's mutex.
Node* Find(RegistryRoot root, const KeyPath& levels) {
    Node* node = &RootNode(root);
    for (const std::string& level : levels) {
        auto found = node->subkeys.find(level);
        if (found == node->subkeys.end()) {
            return nullptr;
        }
        node = found->second.get();
    }
    return node;
}

// The caller holds the store's mutex.
Node& FindOrCreate(RegistryRoot root, const KeyPath& levels) {
    Node* node = &RootNode(root);
    for (const std::string& level : levels) {
        std::unique_ptr<Node>& child = node->subkeys[level];
        if (!child) {
            child = std::make_unique<Node>();
        }
        node = child.get();
    }
    return *node;
}

struct OpenKey {
    RegistryRoot root;
    KeyPath levels;
    bool writable;         // opened with full access
    bool creates_subkeys;  // opened with the right to create subkeys
};

const OpenKey& KeyOf(void* handle) {
    return *static_cast<OpenKey*>(handle);
}

}  // namespace

bool RegistryKey::Open(RegistryRoot root, const std::string& path, RegistryAccess access) {
    Close();
    KeyPath levels;
    if (!SplitPath(path, &levels)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    if (Find(root, levels) == nullptr) {
        return false;
    }
    const bool all = access == RegistryAccess::kAll;
    handle_ = new OpenKey{root, levels, all, all || access == RegistryAccess::kCreateSubkey};
    return true;
}

bool RegistryKey::Create(RegistryRoot root, const std::string& path) {
    Close();
    KeyPath levels;
    if (!SplitPath(path, &levels)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    FindOrCreate(root, levels);
    handle_ = new OpenKey{root, levels, true, true};
    return true;
}

bool RegistryKey::CreateSubkey(const std::string& name, RegistryKey* subkey) const {
    KeyPath below;
    if (!IsOpen() || !KeyOf(handle_).creates_subkeys || !SplitPath(name, &below)) {
        return false;
    }
    OpenKey key = KeyOf(handle_);
    key.writable = key.creates_subkeys = true;  // a created key is opened with full access
    key.levels.insert(key.levels.end(), below.begin(), below.end());
    {
        std::lock_guard<std::mutex> lock(TheStore().mutex);
        if (Find(key.root, KeyOf(handle_).levels) == nullptr) {
            return false;  // this key was deleted
        }
        FindOrCreate(key.root, key.levels);
    }
    subkey->Close();
    subkey->handle_ = new OpenKey(std::move(key));
    return true;
}

bool RegistryKey::QueryString(const std::string& name, std::string* value,
                              uint32_t capacity) const {
    if (!IsOpen()) {
        return false;
    }
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    const Node* node = Find(KeyOf(handle_).root, KeyOf(handle_).levels);
    if (node == nullptr) {
        return false;
    }
    auto found = node->values.find(name);
    if (found == node->values.end() || found->second.size() > capacity) {
        return false;
    }
    const std::string& bytes = found->second;
    value->assign(bytes, 0, bytes.find('\0'));
    return true;
}

bool RegistryKey::SetString(const std::string& name, const std::string& value) {
    if (!IsOpen() || !KeyOf(handle_).writable) {
        return false;
    }
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    Node* node = Find(KeyOf(handle_).root, KeyOf(handle_).levels);
    if (node == nullptr) {
        return false;
    }
    node->values[name] = value;
    return true;
}

bool RegistryKey::QuerySubkeyCount(uint32_t* count) const {
    if (!IsOpen()) {
        return false;
    }
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    const Node* node = Find(KeyOf(handle_).root, KeyOf(handle_).levels);
    if (node == nullptr) {
        return false;
    }
    *count = static_cast<uint32_t>(node->subkeys.size());
    return true;
}

void RegistryKey::Close() {
    delete static_cast<OpenKey*>(handle_);
    handle_ = nullptr;
}

bool DeleteRegistryTree(RegistryRoot root, const std::string& path) {
    KeyPath levels;
    if (!SplitPath(path, &levels) || levels.empty()) {
        return false;  // a root cannot be deleted
    }
    std::string last = levels.back();
    levels.pop_back();
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    Node* parent = Find(root, levels);
    return parent != nullptr && parent->subkeys.erase(last) == 1;
}

// --- test entries ---

void ResetRegistry() {
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    TheStore().local_machine = Node();
    TheStore().current_user = Node();
}

bool SetRegistryRawValue(RegistryRoot root, const std::string& path, const std::string& name,
                         const std::string& bytes) {
    KeyPath levels;
    if (!SplitPath(path, &levels)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    FindOrCreate(root, levels).values[name] = bytes;
    return true;
}

bool GetRegistryRawValue(RegistryRoot root, const std::string& path, const std::string& name,
                         std::string* bytes) {
    KeyPath levels;
    if (!SplitPath(path, &levels)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    const Node* node = Find(root, levels);
    if (node == nullptr) {
        return false;
    }
    auto found = node->values.find(name);
    if (found == node->values.end()) {
        return false;
    }
    *bytes = found->second;
    return true;
}

}  // namespace platform
