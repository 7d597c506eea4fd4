// The resource store: blocks of bytes registered by tests and tools, found by type name (without
// regard to ASCII case) and id. The store only refers to the bytes; their owner keeps them.

#include <cctype>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/resource_store.h"

namespace platform {

namespace {

using ResourceKey = std::pair<std::string, uint32_t>;  // type name in lower case, id

// Never destroyed: a detached worker may still look a resource up while the program exits.
struct Store {
    std::mutex mutex;
    std::map<ResourceKey, ResourceBytes> blocks;
};

Store& TheStore() {
    static Store* store = new Store;
    return *store;
}

ResourceKey KeyOf(const char* type, uint32_t id) {
    std::string name(type);
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return {name, id};
}

}  // namespace

void SetResource(const char* type, uint32_t id, ResourceBytes bytes) {
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    TheStore().blocks[KeyOf(type, id)] = bytes;
}

void RemoveResource(const char* type, uint32_t id) {
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    TheStore().blocks.erase(KeyOf(type, id));
}

void ClearResources() {
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    TheStore().blocks.clear();
}

bool FindRegisteredResource(const char* type, uint32_t id, ResourceBytes* bytes) {
    if (type == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> lock(TheStore().mutex);
    auto found = TheStore().blocks.find(KeyOf(type, id));
    if (found == TheStore().blocks.end()) {
        return false;
    }
    *bytes = found->second;
    return true;
}

}  // namespace platform
