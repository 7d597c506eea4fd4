#pragma once

// Registry keys under HKEY_LOCAL_MACHINE, for setting up and checking what a program leaves.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace e2e {

using RegistryValues = std::vector<std::pair<std::string, std::string>>;  // name, REG_SZ text

// One value as stored: its type and its data bytes exactly (a REG_SZ may lack its NUL).
struct StoredValue {
    std::string name;
    DWORD type = 0;
    std::string data;
};

// Creates the key (and its parents) and sets the given string values.
bool CreateMachineKey(const std::string& subkey, const RegistryValues& values = {});
bool MachineKeyExists(const std::string& subkey);
// Every value of the key, in the order the registry enumerates them; false when the key cannot
// be opened or read.
bool ListMachineValues(const std::string& subkey, std::vector<StoredValue>* values);
// Deletes the key with all its subkeys; true when it is gone afterwards (also when it was).
bool DeleteMachineKey(const std::string& subkey);

// The user's shell folder `name` ("Programs", "Desktop") as the Shell Folders key records it;
// empty when it is not there.
std::string UserShellFolder(const std::string& name);

}  // namespace e2e
