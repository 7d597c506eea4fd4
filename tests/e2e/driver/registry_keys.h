#pragma once

// Registry keys under HKEY_LOCAL_MACHINE, for setting up and checking what a program leaves.

#include <string>
#include <utility>
#include <vector>

namespace e2e {

using RegistryValues = std::vector<std::pair<std::string, std::string>>;  // name, REG_SZ text

// Creates the key (and its parents) and sets the given string values.
bool CreateMachineKey(const std::string& subkey, const RegistryValues& values = {});
bool MachineKeyExists(const std::string& subkey);
// Deletes the key with all its subkeys; true when it is gone afterwards (also when it was).
bool DeleteMachineKey(const std::string& subkey);

}  // namespace e2e
