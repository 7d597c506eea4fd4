#pragma once

// Test entries of the POSIX in-memory registry: start from an empty store, and store or inspect a
// value's raw bytes, so tests can plant data with or without a terminating NUL and check exactly
// what a writer stored.

#include <string>

#include "platform/registry.h"

namespace platform {

// Empties both roots. Keys that are still open then refer to nothing and fail every operation.
void ResetRegistry();

// Stores `bytes` as they are under the value `name` of the key at `path`, creating missing keys.
bool SetRegistryRawValue(RegistryRoot root, const std::string& path, const std::string& name,
                         const std::string& bytes);

// The stored bytes of a value, unterminated and unchanged. False when key or value is missing.
bool GetRegistryRawValue(RegistryRoot root, const std::string& path, const std::string& name,
                         std::string* bytes);

}  // namespace platform
