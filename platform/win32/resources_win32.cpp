// The running program's own resources. FindResourceA compares type names without regard to case;
// a loaded resource of the program file stays mapped for the life of the process.

#include <windows.h>

#include "platform/resources.h"

namespace platform {

bool FindOwnResource(const char* type, uint32_t id, ResourceBytes* bytes) {
    if (type == nullptr) {
        return false;
    }
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) {
        return false;
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return false;
    }
    bytes->data = static_cast<const uint8_t*>(data);
    bytes->size = SizeofResource(module, found);
    return true;
}

}  // namespace platform
