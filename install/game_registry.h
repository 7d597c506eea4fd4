#pragma once

// The game's registry footprint, in one place: the INSTALL key below the company and product keys
// (HKLM\Software\Tessaline\Dominarch\INSTALL, holding "Path" and "Language"), the entry in the
// system's list of programs to uninstall, and the user's shell folders that the shortcuts go to.
// No other file names a key or a value; they ask here. Portable over platform/registry.h, so
// these rules run natively over the in-memory registry. Every write that fails is passed over.

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace game_registry {

enum class InstallState : uint8_t { kNotInstalled = 0, kInstalled = 2 };

// What start-up reads from the INSTALL key.
struct StoredInstall {
    bool key_opened = false;  // the key opened with full access
    InstallState state = InstallState::kNotInstalled;
    std::string folder;  // "Path", when the state is kInstalled
};

// Opens the INSTALL key with full access and reads "Path" into at most 260 bytes: the game is
// installed exactly when that succeeds.
StoredInstall ReadInstallState();

// Stores the install folder as "Path", creating the keys one level at a time
// (Software, Tessaline, Dominarch, Install).
void StoreInstallFolder(const std::string& folder);

// The languages by index (0 English, 1 Hungarian, 2 German, 3 Italian, 4 French, 5 Spanish) and
// the English name by which "Language" names each.
inline constexpr int kLanguageCount = 6;
const char* StoredLanguageName(int index);

// Reads "Language" from the INSTALL key opened with full access; false when the key or the value
// cannot be read.
bool ReadStoredLanguageName(std::string* name);

// Stores the language's name as "Language", creating the INSTALL key when missing. False exactly
// when the key cannot be created or opened.
bool StoreLanguage(int index);

// The entry in the system's list of programs to uninstall, which starts the installed Setup.exe
// with "/uninstall".
void StoreUninstallEntry(const std::string& install_folder);
void DeleteUninstallEntry();

// Deletes the product key with everything below it, and then the company key when no other
// product is left in it. A company key is never deleted when the product key was not there.
void DeleteGameKeys();

// The user's shell folders (HKCU), opened once for reading.
class ShellFolders {
  public:
    bool Open();  // false when the key is missing
    bool Programs(std::string* folder) const;
    bool Desktop(std::string* folder) const;

  private:
    platform::RegistryKey key_;
};

}  // namespace game_registry
