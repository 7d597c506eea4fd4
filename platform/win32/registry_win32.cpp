// The real registry through the ANSI API. Strings are written as REG_SZ whose byte count is the
// length (no NUL); a reader takes at most its capacity and ends the text at the first NUL within
// the bytes returned. NT-family systems do not delete a key that has subkeys, so a tree is
// deleted depth first.

#include <windows.h>

#include <vector>

#include "platform/registry.h"

namespace platform {

namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

HKEY KeyOf(void* handle) {
    return static_cast<HKEY>(handle);
}

// The most a string read asks for, whatever capacity the caller offers: far above any value the
// installer stores, and no caller's figure can make the buffer size overflow.
constexpr DWORD kLargestValue = 1 << 20;

// Deletes `name` below `parent` with all its subkeys. A subkey that cannot be deleted is stepped
// over, so the loop ends; the key itself then stays as well.
bool DeleteTreeBelow(HKEY parent, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD index = 0;
    char subkey[256];
    for (;;) {
        DWORD length = sizeof subkey;
        if (RegEnumKeyExA(key, index, subkey, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        if (!DeleteTreeBelow(key, subkey)) {
            ++index;
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
}

}  // namespace

bool RegistryKey::Open(RegistryRoot root, const std::string& path, RegistryAccess access) {
    Close();
    REGSAM sam = KEY_QUERY_VALUE;
    if (access == RegistryAccess::kAll) {
        sam = KEY_ALL_ACCESS;
    } else if (access == RegistryAccess::kCreateSubkey) {
        sam = KEY_QUERY_VALUE | KEY_CREATE_SUB_KEY;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, sam, &key) != ERROR_SUCCESS) {
        return false;
    }
    handle_ = key;
    return true;
}

bool RegistryKey::Create(RegistryRoot root, const std::string& path) {
    Close();
    HKEY key = nullptr;
    if (RegCreateKeyA(RootKey(root), path.c_str(), &key) != ERROR_SUCCESS) {
        return false;
    }
    handle_ = key;
    return true;
}

bool RegistryKey::CreateSubkey(const std::string& name, RegistryKey* subkey) const {
    HKEY key = nullptr;
    if (!IsOpen() || RegCreateKeyA(KeyOf(handle_), name.c_str(), &key) != ERROR_SUCCESS) {
        return false;
    }
    subkey->Close();
    subkey->handle_ = key;
    return true;
}

bool RegistryKey::QueryString(const std::string& name, std::string* value,
                              uint32_t capacity) const {
    if (!IsOpen()) {
        return false;
    }
    // Never a null buffer: with one, RegQueryValueExA reports the size instead of the data.
    const DWORD limit = capacity < kLargestValue ? capacity : kLargestValue;
    std::vector<char> buffer(limit + 1, '\0');
    DWORD type = 0;
    DWORD size = limit;
    if (RegQueryValueExA(KeyOf(handle_), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
        return false;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return false;
    }
    size = size < limit ? size : limit;
    std::string bytes(buffer.data(), size);
    value->assign(bytes, 0, bytes.find('\0'));
    return true;
}

bool RegistryKey::SetString(const std::string& name, const std::string& value) {
    if (!IsOpen()) {
        return false;
    }
    return RegSetValueExA(KeyOf(handle_), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.data()),
                          static_cast<DWORD>(value.size())) == ERROR_SUCCESS;
}

bool RegistryKey::QuerySubkeyCount(uint32_t* count) const {
    DWORD subkeys = 0;
    if (!IsOpen() ||
        RegQueryInfoKeyA(KeyOf(handle_), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    *count = subkeys;
    return true;
}

void RegistryKey::Close() {
    if (handle_ != nullptr) {
        RegCloseKey(KeyOf(handle_));
        handle_ = nullptr;
    }
}

bool DeleteRegistryTree(RegistryRoot root, const std::string& path) {
    if (path.empty()) {
        return false;  // a root cannot be deleted
    }
    return DeleteTreeBelow(RootKey(root), path.c_str());
}

}  // namespace platform
