#pragma once

// Resources handed in at run time, which FindOwnResource finds on POSIX, where a program has no
// resources of its own: the native tests register the blocks the code under test looks for. The
// caller keeps the bytes alive while they are registered.

#include <cstdint>

#include "platform/resources.h"

namespace platform {

void SetResource(const char* type, uint32_t id, ResourceBytes bytes);
void RemoveResource(const char* type, uint32_t id);
void ClearResources();

// The registered block of that type name (without regard to case) and id, if there is one.
bool FindRegisteredResource(const char* type, uint32_t id, ResourceBytes* bytes);

}  // namespace platform
