#pragma once

// Resources of the running program: blocks of bytes found by type name and integer id. Type names
// compare without regard to case. On Win32 they are the program file's own; a POSIX program has
// none, and finds only the blocks its tests hand in (platform/resource_store.h).

#include <cstdint>

namespace platform {

struct ResourceBytes {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
};

// Finds, loads and locks the resource; the bytes stay valid for the life of the program.
bool FindOwnResource(const char* type, uint32_t id, ResourceBytes* bytes);

}  // namespace platform
