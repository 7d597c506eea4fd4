#pragma once

// Resources of the running program: blocks of bytes found by type name and integer id. Type names
// compare without regard to case. Blocks that a test or a tool hands in with SetResource
// (platform/resource_store.h) come first; then, on Win32, the program file's own resources.

#include <cstdint>

namespace platform {

struct ResourceBytes {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
};

// Finds, loads and locks the resource; the bytes stay valid for the life of the program.
bool FindOwnResource(const char* type, uint32_t id, ResourceBytes* bytes);

}  // namespace platform
