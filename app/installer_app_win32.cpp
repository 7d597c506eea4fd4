#include "app/installer_app_win32.h"

#include <string>

#include "app/command_line.h"
#include "app/installer_dialogs_win32.h"
#include "app/menu_screen_win32.h"
#include "app/uninstall_confirm_dlg_win32.h"

namespace {

constexpr char kRunningEventName[] = "DominarchInstallerRunningEvent";
constexpr char kUninstallEntryKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dominarch";
constexpr char kTemporaryCopyName[] = "x.exe";
constexpr char kUninstallingSwitch[] = " /uninstalling";

static_assert(sizeof(STARTUPINFOA) == 68, "the start-up record the copy is started with");

// Copies the program into the temp folder as "x.exe", removes the uninstall entry and starts the
// copy in uninstalling mode. False when no copy could be made (nothing is changed then).
//
// The copy checks for another running instance as its first act, and this process is still
// alive then; so the single-instance event is given up just before the copy starts, and the
// copy can never take this process for another instance.
bool HandOverUninstall(HANDLE* running_event) {
    char temp[MAX_PATH];
    if (GetTempPathA(MAX_PATH, temp) == 0) {
        return false;
    }
    const std::string program = app::GetProgramPath(GetCommandLineA(), ".exe ");
    const std::string copy = std::string(temp) + kTemporaryCopyName;
    if (!CopyFileA(program.c_str(), copy.c_str(), FALSE)) {
        return false;
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallEntryKey);

    if (*running_event != nullptr) {
        CloseHandle(*running_event);
        *running_event = nullptr;
    }
    std::string command_line = copy + kUninstallingSwitch;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE,
                       CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS | CREATE_NEW_CONSOLE,
                       nullptr, temp, &startup, &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
    return true;
}

}  // namespace

BOOL CInstallerApp::InitInstance() {
    // The questions of the workers (disk full, exit the copy, delete the saved games) are shown
    // as the installer's own dialogs.
    static CInstallerDialogHost dialog_host;
    platform::SetDialogHost(&dialog_host);
    SetOwnResourceModule(GetResourceModule());

    HANDLE other = OpenEventA(EVENT_ALL_ACCESS, FALSE, kRunningEventName);
    if (other != nullptr) {
        CloseHandle(other);
        return FALSE;
    }
    HANDLE running_event = CreateEventA(nullptr, TRUE, TRUE, kRunningEventName);

    CMenuScreenDlg menu_screen;
    const app::RunMode mode = app::RunModeOf(m_lpCmdLine);
    if (mode == app::RunMode::kUninstall) {
        CUninstallConfirmDlg confirm;
        if (confirm.DoModal() == IDOK && HandOverUninstall(&running_event)) {
            PostQuitMessage(0);
            return FALSE;
        }
    }
    menu_screen.SetUninstallingMode(mode == app::RunMode::kUninstalling);

    m_pMainWnd = &menu_screen;
    menu_screen.DoModal();
    m_pMainWnd = nullptr;
    if (running_event != nullptr) {
        CloseHandle(running_event);
    }
    return FALSE;
}
