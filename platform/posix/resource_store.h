#pragma once

// The POSIX stand-in for a program's resources: tests and tools register blocks of bytes that
// FindOwnResource then finds. The caller keeps the bytes alive while they are registered.

#include <cstdint>

#include "platform/resources.h"

namespace platform {

void SetResource(const char* type, uint32_t id, ResourceBytes bytes);
void RemoveResource(const char* type, uint32_t id);
void ClearResources();

}  // namespace platform
