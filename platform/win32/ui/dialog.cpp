#include "platform/win32/ui/dialog.h"

#include "platform/win32/ui/win_app.h"

namespace {

// Messages whose dialog-procedure result is returned directly rather than through
// DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

}  // namespace

void CenterWindow(HWND hwnd) {
    RECT window;
    GetWindowRect(hwnd, &window);
    RECT area;
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CDialog::DoModal() {
    HWND owner = parent_ != nullptr ? parent_->m_hWnd : nullptr;
    return DialogBoxParamA(GetResourceModule(), MAKEINTRESOURCEA(template_id_), owner,
                           &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::OnMessage(UINT message, WPARAM wparam, LPARAM, LRESULT*) {
    if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
        switch (LOWORD(wparam)) {
            case IDOK:
                OnOK();
                return true;
            case IDCANCEL:
                OnCancel();
                return true;
        }
    }
    return false;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lparam);
        dialog->m_hWnd = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lparam);
        return dialog->HandleInitDialog();
    }
    dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;
    }
    const INT_PTR handled = dialog->Dispatch(message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
    }
    return handled;
}

// A dialog that did not move itself during OnInitDialog is centred afterwards.
INT_PTR CDialog::HandleInitDialog() {
    RECT before;
    GetWindowRect(m_hWnd, &before);
    const BOOL result = OnInitDialog();
    RECT after;
    GetWindowRect(m_hWnd, &after);
    if (before.left == after.left && before.top == after.top) {
        CenterWindow(m_hWnd);
    }
    return result;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (!OnMessage(message, wparam, lparam, &result)) {
        return FALSE;
    }
    if (ReturnsDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
