#pragma once

// Raw access to registry values for the tests, past the rules of RegistryKey: plant bytes with or
// without a NUL, and see exactly the bytes a writer stored. One file per back end implements it.

#include <string>

#include "platform/registry.h"

namespace platform_test {

// Stores `bytes` as a string value, creating the key when it is missing.
bool SetRawValue(platform::RegistryRoot root, const std::string& path, const std::string& name,
                 const std::string& bytes);
bool GetRawValue(platform::RegistryRoot root, const std::string& path, const std::string& name,
                 std::string* bytes);

// False on the Windows 98 family, which stores a string value up to its first NUL whatever byte
// count it is given (so unterminated values cannot be planted) and checks no access rights.
bool RegistryKeepsRawBytesAndChecksAccess();

}  // namespace platform_test
