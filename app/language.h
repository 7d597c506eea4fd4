#pragma once

// The language of the menu texts. English comes from the program file itself; every other
// language from a resource-only library of its own, loaded by name. The choice is stored in the
// game's registry key (game_registry) as the language's English name.

#include <string_view>

#include "install/game_registry.h"

namespace app {

inline constexpr int kEnglish = 0;
inline constexpr int kLanguageCount = game_registry::kLanguageCount;

// The language a stored name asks for at start-up, compared exactly and case-sensitively;
// -1 for "English" (already in force) and for anything unknown.
int LanguageOfStoredName(std::string_view stored);

// The language stored in the game's key; -1 when the key or the value cannot be read or names no
// other language.
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

// Puts the language's resources in force: its library, or the program's own when it has none or
// it cannot be loaded. A library that was in force is freed.
void PutLanguageInForce(int index, ResourceModules& modules);

// Stores the language in the game's key (creating the key when missing) and puts its resources
// in force. False when the key cannot be created: then nothing changes and the texts need no
// reload.
bool ApplyLanguage(int index, ResourceModules& modules);

}  // namespace app
