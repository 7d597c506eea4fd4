#include "app/language.h"

#include <string>

#include "platform/registry.h"

namespace app {

namespace {

constexpr char kInstallKey[] = "Software\\Tessaline\\Dominarch\\INSTALL";
constexpr char kLanguageValue[] = "Language";

constexpr LanguageInfo kLanguages[kLanguageCount] = {
    {"English", nullptr},     {"Hungarian", "resHU.dll"}, {"German", "resDE.dll"},
    {"Italian", "resIT.dll"}, {"French", "resFR.dll"},    {"Spanish", "resSP.dll"},
};

// The order in which start-up compares a stored name.
constexpr int kStartUpOrder[] = {1, 2, 5, 3, 4};

}  // namespace

const LanguageInfo& Language(int index) {
    return kLanguages[index];
}

int LanguageOfStoredName(std::string_view stored) {
    for (int index : kStartUpOrder) {
        if (stored == kLanguages[index].stored_name) {
            return index;
        }
    }
    return -1;
}

int ReadStoredLanguage() {
    platform::RegistryKey key;
    std::string stored;
    if (!key.Open(platform::RegistryRoot::kLocalMachine, kInstallKey,
                  platform::RegistryAccess::kAll) ||
        !key.QueryString(kLanguageValue, &stored)) {
        return -1;
    }
    return LanguageOfStoredName(stored);
}

bool ApplyLanguage(int index, ResourceModules& modules) {
    platform::RegistryKey key;
    if (!key.Create(platform::RegistryRoot::kLocalMachine, kInstallKey)) {
        return false;
    }
    const LanguageInfo& language = kLanguages[index];
    key.SetString(kLanguageValue, language.stored_name);

    ResourceModules::Module chosen = modules.Own();
    if (language.library != nullptr) {
        if (ResourceModules::Module library = modules.Load(language.library)) {
            chosen = library;
        }
    }
    const ResourceModules::Module previous = modules.InForce();
    modules.SetInForce(chosen);
    if (previous != modules.Own()) {
        modules.Free(previous);
    }
    return true;
}

}  // namespace app
