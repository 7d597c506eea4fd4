#pragma once

// The registry: keys under two roots, string values. Win32: the real registry. POSIX: an
// in-memory store with the same rules (key names compare without regard to case, value names
// too), so the registration, language and uninstall logic run natively.

#include <cstdint>
#include <string>

namespace platform {

enum class RegistryRoot { kLocalMachine, kCurrentUser };

enum class RegistryAccess {
    kAll,
    kQueryValue,
    kCreateSubkey,  // query values and create subkeys, but not set values
};

class RegistryKey {
  public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens an existing key; `path` may hold several levels separated by '\'.
    bool Open(RegistryRoot root, const std::string& path, RegistryAccess access);
    // Creates the key (and missing levels) or opens it, with full access.
    bool Create(RegistryRoot root, const std::string& path);
    // Creates or opens a subkey of this open key.
    bool CreateSubkey(const std::string& name, RegistryKey* subkey) const;

    // Reads a string value into at most `capacity` bytes. The text ends at its first NUL and never
    // runs past the bytes the registry returned.
    bool QueryString(const std::string& name, std::string* value, uint32_t capacity = 260) const;
    // Stores a REG_SZ whose byte count is the string's length: no terminating NUL is stored.
    bool SetString(const std::string& name, const std::string& value);
    bool QuerySubkeyCount(uint32_t* count) const;

    bool IsOpen() const { return handle_ != nullptr; }
    void Close();

  private:
    void* handle_ = nullptr;  // HKEY, or the in-memory store's key id
};

// Deletes a key with everything below it. False when it did not exist or could not be deleted.
bool DeleteRegistryTree(RegistryRoot root, const std::string& path);

}  // namespace platform
