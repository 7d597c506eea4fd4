#pragma once

// The language of the menu texts. English comes from the program file itself; every other
// language from a resource-only library of its own, loaded by name. The choice is stored in the
// registry value "Language" of the game's INSTALL key as the language's English name.

#include <cstdint>
#include <string_view>

namespace app {

inline constexpr int kEnglish = 0;
inline constexpr int kLanguageCount = 6;

struct LanguageInfo {
    const char* stored_name;  // the value of "Language"
    const char* library;      // null: the program's own resources
};

const LanguageInfo& Language(int index);  // index 0 to 5

// The language a stored name asks for at start-up, compared exactly and case-sensitively;
// -1 for "English" (already in force) and for anything unknown.
int LanguageOfStoredName(std::string_view stored);

// Reads "Language" from the INSTALL key (opened with full access); -1 when the key or the value
// cannot be read or names no other language.
int ReadStoredLanguage();

// The modules string resources come from, as the platform has them.
class ResourceModules {
  public:
    using Module = void*;
    virtual ~ResourceModules() = default;
    virtual Module Own() = 0;                      // the program file's own resources
    virtual Module Load(const char* library) = 0;  // null when it cannot be loaded
    virtual void Free(Module module) = 0;
    virtual Module InForce() = 0;
    virtual void SetInForce(Module module) = 0;
};

// Stores the language's name in "Language" (creating the INSTALL key when missing) and puts its
// resources in force: its library, or the program's own when it has none or it cannot be loaded.
// A library that was in force is freed. False when the key cannot be created: then nothing
// changes and the texts need no reload.
bool ApplyLanguage(int index, ResourceModules& modules);

}  // namespace app
