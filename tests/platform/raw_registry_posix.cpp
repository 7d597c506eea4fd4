#include "platform/posix/registry_store.h"
#include "tests/platform/raw_registry.h"

namespace platform_test {

bool RegistryKeepsRawBytesAndChecksAccess() {
    return true;
}

bool SetRawValue(platform::RegistryRoot root, const std::string& path, const std::string& name,
                 const std::string& bytes) {
    return platform::SetRegistryRawValue(root, path, name, bytes);
}

bool GetRawValue(platform::RegistryRoot root, const std::string& path, const std::string& name,
                 std::string* bytes) {
    return platform::GetRegistryRawValue(root, path, name, bytes);
}

}  // namespace platform_test
