#include "app/language.h"

#include <string>

namespace app {

namespace {

// The resource-only library of each language; null: the program's own resources.
constexpr const char* kLibraries[kLanguageCount] = {
    nullptr, "resHU.dll", "resDE.dll", "resIT.dll", "resFR.dll", "resSP.dll",
};

// The order in which start-up compares a stored name.
constexpr int kStartUpOrder[] = {1, 2, 5, 3, 4};

}  // namespace

int LanguageOfStoredName(std::string_view stored) {
    for (int index : kStartUpOrder) {
        if (stored == game_registry::StoredLanguageName(index)) {
            return index;
        }
    }
    return -1;
}

int ReadStoredLanguage() {
    std::string stored;
    if (!game_registry::ReadStoredLanguageName(&stored)) {
        return -1;
    }
    return LanguageOfStoredName(stored);
}

void PutLanguageInForce(int index, ResourceModules& modules) {
    ResourceModules::Module chosen = modules.Own();
    if (kLibraries[index] != nullptr) {
        if (ResourceModules::Module library = modules.Load(kLibraries[index])) {
            chosen = library;
        }
    }
    const ResourceModules::Module previous = modules.InForce();
    modules.SetInForce(chosen);
    if (previous != modules.Own()) {
        modules.Free(previous);
    }
}

bool ApplyLanguage(int index, ResourceModules& modules) {
    if (!game_registry::StoreLanguage(index)) {
        return false;
    }
    PutLanguageInForce(index, modules);
    return true;
}

}  // namespace app
