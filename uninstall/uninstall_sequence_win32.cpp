#include "uninstall/uninstall_sequence_win32.h"

#include "platform/win32/ui/window_messages.h"
#include "uninstall/uninstall_registration.h"
#include "uninstall/uninstall_thread.h"

namespace {

constexpr uint32_t kUninstallSteps = 2662;

class PostUninstallDone : public UninstallListener {
  public:
    void OnUninstallDone(bool nothing_left) override {
        PostMessageA(window, kRemovalEndedMessage, nothing_left ? 1 : 0, 0);
    }
    HWND window = nullptr;
};

PostUninstallDone g_notify;  // one uninstall at a time

}  // namespace

bool StartUninstall(CWnd* menu_screen, const std::string& install_folder,
                    platform::DialogHost& dialogs, const ShowProgress& show_progress) {
    RemoveRegistration();
    ProgressIndicator* progress = show_progress(kUninstallSteps);
    g_notify.window = menu_screen->m_hWnd;
    if (!StartUninstallThread(install_folder, progress, &dialogs, &g_notify)) {
        g_notify.OnUninstallDone(false);
    }
    return true;
}
