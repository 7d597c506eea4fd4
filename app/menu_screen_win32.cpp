#include "app/menu_screen_win32.h"

#include <vector>

#include "app/command_line.h"
#include "app/language.h"
#include "app/resource_modules_win32.h"
#include "app/uninstall_confirm_dlg_win32.h"
#include "engine/extraction.h"
#include "install/install_sequence_win32.h"
#include "install/registration.h"
#include "platform/process.h"
#include "platform/win32/ui/device_context.h"
#include "platform/win32/ui/lparam_point.h"
#include "platform/win32/ui/win_app.h"
#include "platform/win32/ui/window_messages.h"
#include "uninstall/uninstall_done_dlg_win32.h"
#include "uninstall/uninstall_sequence_win32.h"

namespace {

using game_registry::InstallState;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr char kTitle[] = "Dominarch Installer";

constexpr DWORD kStartFlags = CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS;
constexpr DWORD kEditorIdleTimeout = 10000;

struct ItemSpec {
    UINT id;       // the placeholder's id and the command sent on a click
    UINT text_id;  // string table entry
};

constexpr ItemSpec kItems[] = {
    {IDC_PLAY, IDS_PLAY},           {IDC_INSTALL, IDS_INSTALL},
    {IDC_UNINSTALL, IDS_UNINSTALL}, {IDC_VIEW_README, IDS_VIEW_README},
    {IDC_EXIT, IDS_EXIT},           {IDC_LANGUAGE, IDS_LANGUAGE_SELECTION},
};

// The folder that holds the current directory (the current directory cut at its last
// backslash when that stands after the first character); empty when it cannot be read.
std::string FolderOfCurrentDirectory() {
    char current[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, current);
    if (length == 0 || length >= MAX_PATH) {
        return std::string();
    }
    return app::FolderOfPath(std::string(current, length));
}

bool StartProgram(const std::string& application, const std::string& folder) {
    platform::ProcessStart start;
    start.application = application;
    start.current_folder = folder;
    start.creation_flags = kStartFlags;
    platform::Process process;
    return process.Start(start);
}

// Writes the ReadMe (TEXT 132 of the program file itself) to `path`, byte for byte.
void WriteReadMe(const std::string& path) {
    const HINSTANCE module = OwnResourceModule();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDR_README), "text");
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* text = loaded != nullptr ? LockResource(loaded) : nullptr;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    if (text != nullptr) {
        WriteFile(file, text, SizeofResource(module, found), &written, nullptr);
    }
    CloseHandle(file);
}

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

    program_folder_ = app::FolderOfPath(app::GetProgramPath(GetCommandLineA(), ".exe"));
    install_folder_ = program_folder_;
    LoadFonts();
    CreateItems();
    busy_ = 0;

    // A stored language is in force only until English is set, before the screen is first drawn.
    const int stored = app::ReadStoredLanguage();
    if (stored >= 0) {
        SetLanguage(stored);
    }
    for (Item item : {kPlay, kInstall, kUninstall, kViewReadMe, kLanguageItem}) {
        items_[item].ShowWindow(SW_SHOW);
        items_[item].EnableWindow(TRUE);
    }
    SetLanguage(app::kEnglish);
    items_[kLanguageItem].Disable();  // nothing ever enables it again

    ReadInstallState();
    if (install_state_ == InstallState::kInstalled) {
        items_[kInstall].SetText(IDS_REINSTALL);
    } else {
        items_[kPlay].Disable();
        items_[kUninstall].Disable();
    }
    if (uninstalling_mode_) {
        SendMessage(kItemClickedMessage, IDC_UNINSTALL, 0);
    }
    return TRUE;
}

void CMenuScreenDlg::LoadFonts() {
    fonts_[kItemDisabled].Load(IDB_FONT_DISABLED, IDB_FONT_MASK, IDR_FONT_TABLE);
    fonts_[kItemNormal].Load(IDB_FONT_NORMAL, IDB_FONT_MASK, IDR_FONT_TABLE);
    fonts_[kItemHover].Load(IDB_FONT_HOVER, IDB_FONT_MASK, IDR_FONT_TABLE);
    fonts_[kItemPressed].Load(IDB_FONT_PRESSED, IDB_FONT_MASK, IDR_FONT_TABLE);
}

void CMenuScreenDlg::CreateItems() {
    for (int i = 0; i < kItemCount; ++i) {
        items_[i].Create(this, kItems[i].id, kItems[i].text_id, &fonts_[kItemDisabled],
                         &fonts_[kItemNormal], &fonts_[kItemHover], &fonts_[kItemPressed]);
    }
}

// The game counts as installed when its key holds the install folder. Without the key, the game
// is looked for in the folder that holds the current directory.
void CMenuScreenDlg::ReadInstallState() {
    const game_registry::StoredInstall stored = game_registry::ReadInstallState();
    install_state_ = stored.state;
    if (stored.state == InstallState::kInstalled) {
        install_folder_ = stored.folder;
    } else if (!stored.key_opened) {
        const std::string folder = FolderOfCurrentDirectory();
        if (!folder.empty()) {
            install_folder_ = folder;
        }
    }
}

void CMenuScreenDlg::SetLanguage(int index) {
    language_index_ = index;
    CResourceModules modules;
    if (app::ApplyLanguage(index, modules)) {
        LoadTexts();
    }
}

// After a registration, which has stored the current language itself: its resources are put in
// force again and the texts reloaded, as setting it would.
void CMenuScreenDlg::ReloadLanguage() {
    CResourceModules modules;
    app::PutLanguageInForce(language_index_, modules);
    LoadTexts();
}

void CMenuScreenDlg::LoadTexts() {
    items_[kPlay].SetText(IDS_PLAY);
    items_[kInstall].SetText(install_state_ == InstallState::kInstalled ? IDS_REINSTALL
                                                                        : IDS_INSTALL);
    items_[kUninstall].SetText(IDS_UNINSTALL);
    items_[kViewReadMe].SetText(IDS_VIEW_README);
    items_[kExit].SetText(IDS_EXIT);
}

void CMenuScreenDlg::EnableAllItems() {
    for (CSkinTextCtrl& item : items_) {
        item.EnableWindow(TRUE);
    }
}

void CMenuScreenDlg::DisableAllItems() {
    for (CSkinTextCtrl& item : items_) {
        item.EnableWindow(FALSE);
    }
}

bool CMenuScreenDlg::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    switch (message) {
        case kItemClickedMessage:
            OnCommand(static_cast<UINT>(wparam));
            *result = 0;
            return true;
        case kItemHoverMessage:
            OnItemHover(wparam, lparam);
            *result = 0;
            return true;
        case kCopyEndedMessage:
            if (awaited_ == Work::kCopy) {
                awaited_ = Work::kNone;
                OnInstallationFinished(static_cast<int>(wparam));
            }
            *result = 0;
            return true;
        case kRemovalEndedMessage:
            if (awaited_ == Work::kRemoval) {
                awaited_ = Work::kNone;
                OnUninstallationFinished();
            }
            *result = 0;
            return true;
        case WM_MOUSEMOVE:
            OnMouseMove(wparam, lparam);
            return false;  // default processing follows
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

// Escape, the close box and Alt+F4 all end the menu screen here. A copy is stopped (a first
// installation is then rolled back) and a removal, which cannot be undone halfway, goes on; the
// screen ends once either has reported back, so no worker outlives what it uses.
void CMenuScreenDlg::OnCancel() {
    if (!busy_) {
        CDialog::OnCancel();
        return;
    }
    ending_ = true;
    StopExtraction();  // nothing when a removal runs
}

void CMenuScreenDlg::EndIfAsked() {
    if (ending_) {
        EndDialog(IDCANCEL);
    }
}

// The indicator of the work about to start, a visible child of the menu screen; it goes when the
// work has reported back.
ProgressIndicator* CMenuScreenDlg::ShowProgressIndicator(uint32_t total) {
    indicator_ = std::make_unique<CProgressIndicator>(total, 0);
    if (!indicator_->Create(m_hWnd)) {
        indicator_.reset();
    }
    return indicator_.get();
}

void CMenuScreenDlg::OnCommand(UINT command) {
    if (busy_) {
        return;
    }
    // Play and Uninstall act on an installed game only; their items are disabled otherwise, but
    // another program can send the command all the same.
    const bool needs_game = command == IDC_PLAY || command == IDC_UNINSTALL;
    if (needs_game && install_state_ != InstallState::kInstalled) {
        return;
    }
    SetCurrentDirectoryA(program_folder_.c_str());
    switch (command) {
        case IDC_PLAY:
            Play();
            break;
        case IDC_INSTALL:
            Install();
            break;
        case IDC_UNINSTALL:
            Uninstall();
            break;
        case IDC_VIEW_README:
            ViewReadMe();
            break;
        case IDC_EXIT:
            PostQuitMessage(0);
            break;
        default:
            break;
    }
}

// Starts the game in its folder and ends, whether or not it started.
void CMenuScreenDlg::Play() {
    const std::string game = install_folder_ + "\\Dominarch.exe";
    StartProgram(game, install_folder_);
    PostQuitMessage(0);
}

// A close that comes while the folder is chosen (its questions are modal, but a close reaches the
// menu screen all the same) waits for the choice: nothing chosen, the program ends at once; a copy
// started, it is stopped at once and undone as a failed one.
void CMenuScreenDlg::Install() {
    busy_ = 1;
    DisableAllItems();
    if (!StartInstall(this, install_folder_, install_state_, dialogs_,
                      [this](uint32_t total) { return ShowProgressIndicator(total); })) {
        busy_ = 0;
        EnableAllItems();
        EndIfAsked();
        return;
    }
    awaited_ = Work::kCopy;
    if (ending_) {
        StopExtraction();
    }
}

// The menu screen counts as busy from the confirmation on, so that a close under the question
// waits for its answer: "NO!" then ends the program, "YES " lets the removal run to its end first.
void CMenuScreenDlg::Uninstall() {
    busy_ = 1;
    if (!uninstalling_mode_) {
        CUninstallConfirmDlg confirm(this);
        if (confirm.DoModal() != IDOK) {
            busy_ = 0;
            EndIfAsked();
            return;
        }
    }
    DisableAllItems();
    awaited_ = Work::kRemoval;
    StartUninstall(this, install_folder_, dialogs_,
                   [this](uint32_t total) { return ShowProgressIndicator(total); });
    install_state_ = InstallState::kNotInstalled;
    items_[kPlay].Disable();
    items_[kUninstall].Disable();
}

// Shows the ReadMe in the text editor through a fresh folder in the temp folder; the menu screen
// hides while the editor runs, and the file and its folder go afterwards.
void CMenuScreenDlg::ViewReadMe() {
    char temp[256];
    char folder[MAX_PATH];
    // A result as long as the buffer or longer is the size GetTempPathA needed: nothing usable
    // was written then.
    const DWORD temp_length = GetTempPathA(sizeof temp, temp);
    if (temp_length == 0 || temp_length >= sizeof temp ||
        GetTempFileNameA(temp, "txt", 0, folder) == 0) {
        return;
    }
    DeleteFileA(folder);
    CreateDirectoryA(folder, nullptr);
    const std::string file = std::string(folder) + "\\ReadMe.txt";
    WriteReadMe(file);

    platform::ProcessStart start;
    start.command_line = "notepad " + file;
    start.creation_flags = kStartFlags;
    platform::Process editor;
    const bool started = editor.Start(start);
    items_[kViewReadMe].SetState(kItemHover);
    if (started && editor.WaitForInputIdle(kEditorIdleTimeout) == 0) {
        ShowWindow(SW_HIDE);
        if (editor.WaitForExit()) {
            ShowWindow(SW_SHOW);
            SetForegroundWindow(m_hWnd);
            SetFocus(m_hWnd);
        }
    }
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder);
}

// A copy that ended complete is registered even when the player has asked to leave meanwhile (a
// stop that came after the writer's last record): the game is then whole and can be uninstalled.
// Only the desktop question is left out; the player is not kept for it.
void CMenuScreenDlg::OnInstallationFinished(int result) {
    SetCurrentDirectoryA(program_folder_.c_str());
    const bool registered = install::RegisterInstallation(
        install_folder_, install_state_, result, language_index_, ending_ ? nullptr : &dialogs_);
    indicator_.reset();
    if (registered) {
        ReloadLanguage();
        items_[kInstall].SetText(IDS_REINSTALL);
        install_state_ = InstallState::kInstalled;
        items_[kPlay].Enable();
        items_[kUninstall].Enable();
    }
    busy_ = 0;
    EnableAllItems();
    EndIfAsked();
}

void CMenuScreenDlg::OnUninstallationFinished() {
    SetCurrentDirectoryA(program_folder_.c_str());
    indicator_.reset();
    items_[kInstall].SetText(IDS_INSTALL);
    install_state_ = InstallState::kNotInstalled;
    install_folder_ = program_folder_;
    busy_ = 0;
    EnableAllItems();
    if (ending_) {
        EndIfAsked();  // no farewell: the player asked to leave
    } else if (uninstalling_mode_) {
        CUninstallDoneDlg done(this);
        done.DoModal();
        PostQuitMessage(0);
    }
}

// Drags the window with the left button (no capture: it follows while the cursor is over it),
// and ends the items' hover look where the mouse is over the screen itself.
void CMenuScreenDlg::OnMouseMove(WPARAM flags, LPARAM position) {
    POINT cursor = PointFromLParam(position);
    ClientToScreen(m_hWnd, &cursor);
    const bool button_down = (flags & MK_LBUTTON) != 0;
    if (!(drag_flags_ & 1) && button_down) {
        RECT window;
        GetWindowRect(m_hWnd, &window);
        drag_flags_ |= 1;
        drag_start_ = cursor;
        window_origin_ = {window.left, window.top};
    } else if ((drag_flags_ & 1) && button_down) {
        SetWindowPos(m_hWnd, nullptr, window_origin_.x + cursor.x - drag_start_.x,
                     window_origin_.y + cursor.y - drag_start_.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    } else if (drag_flags_ & 1) {
        drag_flags_ &= ~1;
    }
    if (!busy_) {
        for (CSkinTextCtrl& item : items_) {
            item.SendMessage(kItemHoverMessage, flags, position);
        }
    }
}

// An item reports the mouse over it: every other item drops its hover look.
void CMenuScreenDlg::OnItemHover(WPARAM flags, LPARAM position) {
    POINT point = PointFromLParam(position);
    ClientToScreen(m_hWnd, &point);
    for (CSkinTextCtrl& item : items_) {
        RECT rect;
        GetWindowRect(item.m_hWnd, &rect);
        if (PtInRect(&rect, point)) {
            continue;
        }
        POINT local = point;
        ScreenToClient(item.m_hWnd, &local);
        item.SendMessage(kItemHoverMessage, flags, LParamFromPoint(local));
    }
}

// A minimised menu screen shows its icon centred in the client area.
void CMenuScreenDlg::PaintMinimised() {
    PaintDC paint(m_hWnd);
    const HDC dc = paint.Get();
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
}
