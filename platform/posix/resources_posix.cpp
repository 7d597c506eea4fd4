// Resources on POSIX: a program has none of its own; only the registered ones are found.

#include "platform/resource_store.h"

namespace platform {

bool FindOwnResource(const char* type, uint32_t id, ResourceBytes* bytes) {
    return FindRegisteredResource(type, id, bytes);
}

}  // namespace platform
