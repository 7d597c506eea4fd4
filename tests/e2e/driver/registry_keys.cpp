#include "tests/e2e/driver/registry_keys.h"

#include <windows.h>

namespace e2e {

namespace {

// Deletes the subkeys of `key` depth first: not every Windows deletes a key that has any.
void DeleteSubkeys(HKEY key) {
    char name[256];
    for (;;) {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            return;
        }
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_ALL_ACCESS, &child) != ERROR_SUCCESS) {
            return;
        }
        DeleteSubkeys(child);
        RegCloseKey(child);
        if (RegDeleteKeyA(key, name) != ERROR_SUCCESS) {
            return;
        }
    }
}

}  // namespace

bool CreateMachineKey(const std::string& subkey, const RegistryValues& values) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    bool ok = true;
    for (const auto& [name, text] : values) {
        ok = ok && RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return ok;
}

bool MachineKeyExists(const std::string& subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool ListMachineValues(const std::string& subkey, std::vector<StoredValue>* values) {
    values->clear();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    bool ok = true;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD name_length = sizeof(name);
        char data[4096];
        DWORD data_size = sizeof(data);
        StoredValue value;
        const LONG status = RegEnumValueA(key, index, name, &name_length, nullptr, &value.type,
                                          reinterpret_cast<BYTE*>(data), &data_size);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS) {
            ok = false;
            break;
        }
        value.name.assign(name, name_length);
        value.data.assign(data, data_size);
        values->push_back(value);
    }
    RegCloseKey(key);
    return ok;
}

bool DeleteMachineKey(const std::string& subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_ALL_ACCESS, &key) ==
        ERROR_SUCCESS) {
        DeleteSubkeys(key);
        RegCloseKey(key);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, subkey.c_str());
    }
    return !MachineKeyExists(subkey);
}

std::string UserShellFolder(const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return std::string();
    }
    char value[MAX_PATH + 1] = "";
    DWORD size = MAX_PATH;
    const LONG result = RegQueryValueExA(key, name.c_str(), nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(value) : std::string();
}

}  // namespace e2e
