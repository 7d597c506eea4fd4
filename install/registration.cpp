#include "install/registration.h"

#include <cstdint>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/shortcuts.h"
#include "res/resource_ids.h"

namespace install {

namespace {

using game_registry::InstallState;
using platform::JoinPath;

constexpr char kGameName[] = "Dominarch";
constexpr char kConfiguration[] = "[vmachine]\ndirectx=yes\n";

platform::ShortcutFields GameShortcut(const std::string& install_folder) {
    return {JoinPath(install_folder, "Dominarch.exe"), "", install_folder, kGameName,
            JoinPath(JoinPath(install_folder, "data"), "Dominarch.ico")};
}

void CreateShortcut(const std::string& link_path, const platform::ShortcutFields& fields) {
    platform::CreateShortcut(fields.target, link_path, fields.arguments, fields.working_folder,
                             fields.description, fields.icon);
}

// The Start-menu group "Dominarch" with the game and uninstall shortcuts; an older game shortcut
// goes first.
void CreateStartMenuShortcuts(const std::string& programs, const std::string& install_folder) {
    const std::string group = JoinPath(programs, kGameName);
    const platform::FsError made = platform::CreateFolder(group);
    if (made != platform::FsError::kOk && made != platform::FsError::kAlreadyExists) {
        return;
    }
    platform::RemoveFile(JoinPath(group, "Dominarch.lnk"));
    CreateShortcut(JoinPath(group, kGameName), GameShortcut(install_folder));
    CreateShortcut(JoinPath(group, "Uninstall"),
                   {JoinPath(install_folder, "Setup.exe"), "/uninstall", "", "Uninstall", ""});
}

void CreateShortcuts(const std::string& install_folder, InstallState install_state,
                     platform::DialogHost* dialogs) {
    game_registry::ShellFolders shell_folders;
    if (!shell_folders.Open()) {
        return;
    }
    std::string programs;
    if (shell_folders.Programs(&programs)) {
        CreateStartMenuShortcuts(programs, install_folder);
    }
    if (install_state != InstallState::kInstalled &&
        platform::ShowDialog(dialogs, IDD_DESKTOP_SHORTCUT) == platform::kDialogOk) {
        std::string desktop;
        if (shell_folders.Desktop(&desktop)) {
            CreateShortcut(JoinPath(desktop, kGameName), GameShortcut(install_folder));
        }
    }
}

}  // namespace

bool RegisterInstallation(const std::string& install_folder, InstallState install_state, int result,
                          int language, platform::DialogHost* dialogs) {
    if (result == 0) {
        return false;
    }
    game_registry::StoreInstallFolder(install_folder);
    game_registry::StoreLanguage(language);

    // The configuration file is rewritten whole (the pack's own copy has a further section) and
    // stays open until registration ends. Both it and the saved-games folder are named by their
    // full paths, so nothing lands elsewhere should the install folder have gone meanwhile.
    platform::OutputFile configuration;
    if (configuration.Create(JoinPath(install_folder, "tovk.cfg")) == platform::FsError::kOk) {
        uint32_t written = 0;
        configuration.Write(kConfiguration, sizeof kConfiguration - 1, &written);
    }
    platform::CreateFolder(JoinPath(install_folder, "save"));

    CreateShortcuts(install_folder, install_state, dialogs);
    game_registry::StoreUninstallEntry(install_folder);
    return true;
}

}  // namespace install
