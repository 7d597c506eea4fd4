#include "uninstall/uninstall_registration.h"

#include <string>

#include "install/game_registry.h"
#include "platform/files.h"

namespace {

void RemoveShortcuts() {
    game_registry::ShellFolders shell_folders;
    if (!shell_folders.Open()) {
        return;
    }
    std::string programs;
    if (shell_folders.Programs(&programs)) {
        const std::string group = platform::JoinPath(programs, "Dominarch");
        platform::RemoveFile(platform::JoinPath(group, "Dominarch.lnk"));
        platform::RemoveFile(platform::JoinPath(group, "Uninstall.lnk"));
        platform::RemoveFolder(group);
    }
    std::string desktop;
    if (shell_folders.Desktop(&desktop)) {
        platform::RemoveFile(platform::JoinPath(desktop, "Dominarch.lnk"));
    }
}

}  // namespace

void RemoveRegistration() {
    game_registry::DeleteGameKeys();
    game_registry::DeleteUninstallEntry();
    RemoveShortcuts();
}
