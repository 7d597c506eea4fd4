#include "install/disk_space_dlg_win32.h"

#include "install/disk_space.h"
#include "platform/dialogs.h"

namespace {

uint64_t Join(uint32_t low, uint32_t high) {
    return static_cast<uint64_t>(high) << 32 | low;
}

}  // namespace

void CDiskSpaceDlg::SetValues(uint32_t required_low, uint32_t required_high, uint32_t available_low,
                              uint32_t available_high, int query_failed) {
    required_ = Join(required_low, required_high);
    query_failed_ = query_failed;
    available_ = query_failed ? 0 : Join(available_low, available_high);
}

BOOL CDiskSpaceDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemTextA(m_hWnd, IDC_SPACE_REQUIRED, install::FormatKilobytes(required_).c_str());
    SetDlgItemTextA(m_hWnd, IDC_SPACE_AVAILABLE, install::FormatKilobytes(available_).c_str());
    return TRUE;  // the focus goes to the default button, the template's first control
}

void CDiskSpaceDlg::Answer(int disk_space_result) {
    disk_space_result_ = disk_space_result;
    EndDialog(IDOK);
}

void CDiskSpaceDlg::OnCancel() {
    disk_space_result_ = platform::kDiskSpaceExit;
    EndDialog(IDCANCEL);
}

bool CDiskSpaceDlg::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
        switch (LOWORD(wparam)) {
            case IDC_CONTINUE_INSTALL:
                Answer(platform::kDiskSpaceContinue);
                return true;
            case IDC_ANOTHER_DRIVE:
                Answer(platform::kDiskSpaceAnotherDrive);
                return true;
            case IDC_RETRY_SPACE:
                Answer(platform::kDiskSpaceRetry);
                return true;
        }
    }
    return CDialog::OnMessage(message, wparam, lparam, result);
}
