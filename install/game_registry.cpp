#include "install/game_registry.h"

#include <utility>

#include "platform/files.h"

namespace game_registry {

namespace {

using platform::RegistryAccess;
using platform::RegistryKey;
using platform::RegistryRoot;

constexpr RegistryRoot kMachine = RegistryRoot::kLocalMachine;

// The INSTALL key as start-up and the language setting open it, and the levels below "Software"
// by which registration creates it: one key, as key names ignore case.
constexpr char kInstallKey[] = "Software\\Tessaline\\Dominarch\\INSTALL";
constexpr const char* kInstallKeyLevels[] = {"Tessaline", "Dominarch", "Install"};
constexpr char kProductKey[] = "Software\\Tessaline\\Dominarch";
constexpr char kCompanyKey[] = "Software\\Tessaline";
constexpr char kUninstallList[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kUninstallEntry[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dominarch";
constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

constexpr char kGameName[] = "Dominarch";
constexpr uint32_t kPathCapacity = 260;  // MAX_PATH

constexpr const char* kStoredLanguageNames[kLanguageCount] = {
    "English", "Hungarian", "German", "Italian", "French", "Spanish",
};

}  // namespace

StoredInstall ReadInstallState() {
    StoredInstall stored;
    RegistryKey key;
    stored.key_opened = key.Open(kMachine, kInstallKey, RegistryAccess::kAll);
    if (stored.key_opened && key.QueryString("Path", &stored.folder, kPathCapacity)) {
        stored.state = InstallState::kInstalled;
    }
    return stored;
}

void StoreInstallFolder(const std::string& folder) {
    RegistryKey key;
    if (!key.Create(kMachine, "Software")) {
        return;
    }
    for (const char* level : kInstallKeyLevels) {
        RegistryKey below;
        if (!key.CreateSubkey(level, &below)) {
            return;
        }
        key = std::move(below);
    }
    key.SetString("Path", folder);
}

const char* StoredLanguageName(int index) {
    return kStoredLanguageNames[index];
}

bool ReadStoredLanguageName(std::string* name) {
    RegistryKey key;
    return key.Open(kMachine, kInstallKey, RegistryAccess::kAll) &&
           key.QueryString("Language", name);
}

bool StoreLanguage(int index) {
    RegistryKey key;
    if (!key.Create(kMachine, kInstallKey)) {
        return false;
    }
    key.SetString("Language", kStoredLanguageNames[index]);
    return true;
}

// The path is quoted: the system splits an unquoted line at each blank in turn and starts the
// first program it finds, C:\Program.exe for a game in "C:\Program Files".
void StoreUninstallEntry(const std::string& install_folder) {
    RegistryKey list;
    RegistryKey entry;
    if (list.Open(kMachine, kUninstallList, RegistryAccess::kCreateSubkey) &&
        list.CreateSubkey(kGameName, &entry)) {
        entry.SetString("DisplayName", kGameName);
        entry.SetString("UninstallString",
                        "\"" + platform::JoinPath(install_folder, "Setup.exe") + "\" /uninstall");
    }
}

void DeleteUninstallEntry() {
    platform::DeleteRegistryTree(kMachine, kUninstallEntry);
}

void DeleteGameKeys() {
    if (!platform::DeleteRegistryTree(kMachine, kProductKey)) {
        return;
    }
    RegistryKey company;
    uint32_t subkeys = 0;
    if (company.Open(kMachine, kCompanyKey, RegistryAccess::kAll) &&
        company.QuerySubkeyCount(&subkeys) && subkeys == 0) {
        company.Close();
        platform::DeleteRegistryTree(kMachine, kCompanyKey);
    }
}

bool ShellFolders::Open() {
    return key_.Open(RegistryRoot::kCurrentUser, kShellFolders, RegistryAccess::kQueryValue);
}

bool ShellFolders::Programs(std::string* folder) const {
    return key_.QueryString("Programs", folder);
}

bool ShellFolders::Desktop(std::string* folder) const {
    return key_.QueryString("Desktop", folder);
}

}  // namespace game_registry
