#include "app/installer_dialogs_win32.h"

#include "engine/disk_full_dlg_win32.h"
#include "engine/exit_install_dlg_win32.h"
#include "uninstall/delete_saves_dlg_win32.h"

namespace {

template <typename Dialog>
int ShowModal() {
    Dialog dialog;
    return static_cast<int>(dialog.DoModal());
}

}  // namespace

int CInstallerDialogHost::Show(int resource_id) {
    switch (resource_id) {
        case CDiskFullDlg::IDD:
            return ShowModal<CDiskFullDlg>();
        case CExitInstallDlg::IDD:
            return ShowModal<CExitInstallDlg>();
        case CDeleteSavesDlg::IDD:
            return ShowModal<CDeleteSavesDlg>();
        default:
            return platform::kDialogCancel;  // no such question: the cautious answer
    }
}
