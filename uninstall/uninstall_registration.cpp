#include "uninstall/uninstall_registration.h"

#include <string>

#include "platform/files.h"
#include "platform/registry.h"

namespace {

using platform::RegistryRoot;

constexpr char kProductKey[] = "Software\\Tessaline\\Dominarch";
constexpr char kCompanyKey[] = "Software\\Tessaline";
constexpr char kUninstallEntryKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dominarch";
constexpr char kShellFoldersKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The company key goes with its last product.
void RemoveCompanyKeyIfEmpty() {
    platform::RegistryKey company;
    uint32_t subkeys = 0;
    if (company.Open(RegistryRoot::kLocalMachine, kCompanyKey, platform::RegistryAccess::kAll) &&
        company.QuerySubkeyCount(&subkeys) && subkeys == 0) {
        company.Close();
        platform::DeleteRegistryTree(RegistryRoot::kLocalMachine, kCompanyKey);
    }
}

void RemoveShortcuts() {
    platform::RegistryKey shell_folders;
    if (!shell_folders.Open(RegistryRoot::kCurrentUser, kShellFoldersKey,
                            platform::RegistryAccess::kQueryValue)) {
        return;
    }
    std::string programs;
    if (shell_folders.QueryString("Programs", &programs)) {
        const std::string group = platform::JoinPath(programs, "Dominarch");
        platform::RemoveFile(platform::JoinPath(group, "Dominarch.lnk"));
        platform::RemoveFile(platform::JoinPath(group, "Uninstall.lnk"));
        platform::RemoveFolder(group);
    }
    std::string desktop;
    if (shell_folders.QueryString("Desktop", &desktop)) {
        platform::RemoveFile(platform::JoinPath(desktop, "Dominarch.lnk"));
    }
}

}  // namespace

void RemoveRegistration() {
    if (platform::DeleteRegistryTree(RegistryRoot::kLocalMachine, kProductKey)) {
        RemoveCompanyKeyIfEmpty();
    }
    platform::DeleteRegistryTree(RegistryRoot::kLocalMachine, kUninstallEntryKey);
    RemoveShortcuts();
}
