#include "app/installer_app_win32.h"

#include <string>

#include "app/command_line.h"
#include "app/menu_screen_win32.h"
#include "app/uninstall_confirm_dlg_win32.h"
#include "engine/extraction.h"
#include "install/game_registry.h"
#include "platform/files.h"
#include "platform/process.h"
#include "uninstall/uninstall_thread.h"

namespace {

constexpr char kRunningEventName[] = "DominarchInstallerRunningEvent";
constexpr char kTemporaryCopyName[] = "x.exe";
constexpr char kUninstallingSwitch[] = " /uninstalling";

constexpr uint32_t kCopyStartFlags =
    CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS | CREATE_NEW_CONSOLE;

// Copies the program into the temp folder as "x.exe", removes the uninstall entry and starts the
// copy in uninstalling mode. False when no copy could be made or started: nothing is changed then
// (a copy that would not start gets the uninstall entry and the single-instance event back, so
// the game can still be uninstalled, and this program goes on as if started without arguments).
//
// The copy checks for another running instance as its first act, and this process is still
// alive then; so the single-instance event is given up just before the copy starts, and the
// copy can never take this process for another instance.
bool HandOverUninstall(HANDLE* running_event) {
    std::string temp;
    if (!platform::GetTempFolder(&temp)) {
        return false;
    }
    const std::string program = app::GetProgramPath(GetCommandLineA(), ".exe ");
    const std::string copy = temp + kTemporaryCopyName;
    if (platform::CopyFileOver(program, copy) != platform::FsError::kOk) {
        return false;
    }
    game_registry::DeleteUninstallEntry();

    if (*running_event != nullptr) {
        CloseHandle(*running_event);
        *running_event = nullptr;
    }
    // The copy is named as the application: the system would take an unquoted command line in a
    // temp folder with blanks for the first program its blank-separated prefixes name. The line
    // itself stays as the copy reads it.
    platform::ProcessStart start;
    start.application = copy;
    start.command_line = copy + kUninstallingSwitch;
    start.current_folder = temp;
    start.creation_flags = kCopyStartFlags;
    platform::Process started;
    if (started.Start(start)) {
        return true;
    }
    const game_registry::StoredInstall stored = game_registry::ReadInstallState();
    if (stored.state == game_registry::InstallState::kInstalled) {
        game_registry::StoreUninstallEntry(stored.folder);
    }
    *running_event = CreateEventA(nullptr, TRUE, TRUE, kRunningEventName);
    return false;
}

}  // namespace

BOOL CInstallerApp::InitInstance() {
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
    // The menu screen ends only once its work has reported back; the workers' threads are then
    // at their very end, and are waited for before anything they used goes away.
    AwaitExtractionEnd();
    AwaitUninstallEnd();
    if (running_event != nullptr) {
        CloseHandle(running_event);
    }
    return FALSE;
}
