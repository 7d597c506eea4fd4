#include "app/installer_dialogs_win32.h"

#include "app/install_error_dlg_win32.h"
#include "engine/damaged_payload_dlg_win32.h"
#include "engine/disk_full_dlg_win32.h"
#include "engine/exit_install_dlg_win32.h"
#include "install/disk_space_dlg_win32.h"
#include "install/folder_browser_win32.h"
#include "install/install_dialogs_win32.h"
#include "platform/win32/ui/win_app.h"
#include "uninstall/delete_saves_dlg_win32.h"

namespace {

uint32_t Low(uint64_t value) {
    return static_cast<uint32_t>(value);
}

uint32_t High(uint64_t value) {
    return static_cast<uint32_t>(value >> 32);
}

}  // namespace

template <typename Dialog>
int CInstallerDialogHost::ShowModal() {
    Dialog dialog(owner_);
    return static_cast<int>(dialog.DoModal());
}

int CInstallerDialogHost::Show(int resource_id) {
    switch (resource_id) {
        case CDiskFullDlg::IDD:
            return ShowModal<CDiskFullDlg>();
        case CExitInstallDlg::IDD:
            return ShowModal<CExitInstallDlg>();
        case CDeleteSavesDlg::IDD:
            return ShowModal<CDeleteSavesDlg>();
        case CCreateDirErrorDlg::IDD:
            return ShowModal<CCreateDirErrorDlg>();
        case COverwriteDlg::IDD:
            return ShowModal<COverwriteDlg>();
        case CPlatformErrorDlg::IDD:
            return ShowModal<CPlatformErrorDlg>();
        case CDesktopShortcutDlg::IDD:
            return ShowModal<CDesktopShortcutDlg>();
        case CDamagedPayloadDlg::IDD:
            return ShowModal<CDamagedPayloadDlg>();
        default:
            return platform::kDialogCancel;  // no such question: the cautious answer
    }
}

int CInstallerDialogHost::BrowseForFolder(const std::string& initial_path,
                                          const std::string& subfolder,
                                          platform::FolderChoice* choice) {
    const std::string title = LoadResourceString(IDS_BROWSE_TITLE);
    CFolderBrowser browser(initial_path.c_str(), subfolder.c_str(), title.c_str(), 0, owner_);
    const int result = browser.DoModal();
    choice->selected_folder = browser.GetSelectedFolder();
    choice->install_path = browser.GetInstallPath();
    return result;
}

int CInstallerDialogHost::AskDiskSpace(uint64_t required, uint64_t available, bool query_failed) {
    CDiskSpaceDlg dialog(owner_);
    dialog.SetValues(Low(required), High(required), Low(available), High(available),
                     query_failed ? 1 : 0);
    dialog.DoModal();
    return dialog.DiskSpaceResult();
}

void CInstallerDialogHost::ShowMessage(int resource_id, const std::string& text) {
    if (resource_id == CInstallErrorDlg::IDD) {
        CInstallErrorDlg dialog(owner_, text);
        dialog.DoModal();
    }
}
