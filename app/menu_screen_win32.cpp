#include "app/menu_screen_win32.h"

#include "app/installer_app_win32.h"

namespace {
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr char kTitle[] = "Dominarch Installer";
}  // namespace

CMenuScreenDlg::CMenuScreenDlg() : CDialog(IDD, nullptr) {
    icon_ = LoadIconA(GetResourceModule(), MAKEINTRESOURCEA(IDI_MAINFRAME));
}

BOOL CMenuScreenDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowPos(m_hWnd, nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowTextA(m_hWnd, kTitle);
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    background_.Reset(LoadBitmapA(OwnResourceModule(), MAKEINTRESOURCEA(IDB_BACKGROUND)));
    SendDlgItemMessageA(m_hWnd, IDC_BACKGROUND, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(background_.Get()));
    return TRUE;
}

bool CMenuScreenDlg::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    switch (message) {
        case WM_PAINT:
            if (!IsIconic(m_hWnd)) {
                return false;
            }
            PaintMinimised();
            return true;
        case WM_QUERYDRAGICON:
            *result = reinterpret_cast<LRESULT>(icon_);
            return true;
        default:
            return CDialog::OnMessage(message, wparam, lparam, result);
    }
}

// A minimised menu screen shows its icon centred in the client area.
void CMenuScreenDlg::PaintMinimised() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(m_hWnd, &paint);
}
