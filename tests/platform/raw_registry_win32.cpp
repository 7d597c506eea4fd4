#include <windows.h>

#include <vector>

#include "tests/platform/raw_registry.h"

namespace platform_test {

namespace {

HKEY RootKey(platform::RegistryRoot root) {
    return root == platform::RegistryRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

}  // namespace

bool RegistryKeepsRawBytesAndChecksAccess() {
    return (GetVersion() & 0x80000000u) == 0;
}

bool SetRawValue(platform::RegistryRoot root, const std::string& path, const std::string& name,
                 const std::string& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyA(RootKey(root), path.c_str(), &key) != ERROR_SUCCESS) {
        return false;
    }
    // NT stores one NUL more when the byte after the counted data is a NUL; a byte other than NUL
    // there keeps the planted bytes exactly as given.
    std::string guarded = bytes + 'X';
    LONG result =
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(guarded.data()),
                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool GetRawValue(platform::RegistryRoot root, const std::string& path, const std::string& name,
                 std::string* bytes) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<BYTE> buffer(4096);
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, buffer.data(), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        return false;
    }
    bytes->assign(reinterpret_cast<const char*>(buffer.data()), size);
    return true;
}

}  // namespace platform_test
