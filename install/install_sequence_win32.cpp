// The install sequence on the user-interface thread: everything up to the start of the copy.
// The copy itself runs on the pipeline's threads, which report back only by posting
// kCopyEndedMessage to the menu screen.

#include "install/install_sequence_win32.h"

#include "engine/copy_failure_message.h"
#include "engine/extraction.h"
#include "engine/pack_format.h"
#include "install/copy_rollback.h"
#include "install/disk_space.h"
#include "install/install_folder_choice.h"
#include "platform/dialogs.h"
#include "platform/resources.h"
#include "platform/win32/ui/window_messages.h"
#include "platform/win32/windows_version.h"
#include "res/resource_ids.h"

namespace {

// Posts the copy's result (1 copied, 0 failed or abandoned) to the menu screen.
class PostInstallationFinished : public ExtractionListener {
  public:
    void OnExtractionDone(int result) override {
        PostMessageA(window, kCopyEndedMessage, static_cast<WPARAM>(result), 0);
    }
    HWND window = nullptr;
};

PostInstallationFinished g_notify;  // one copy at a time

// The payload this program carries. The installer copied into the install folder (the uninstall
// entry starts it) carries none: no PACK resource, or the placeholder a publisher's stamping
// replaces.
bool FindPayload(platform::ResourceBytes* bytes) {
    return platform::FindOwnResource("pack", IDR_PACK, bytes) &&
           CarriesPayload(bytes->data, bytes->size);
}

}  // namespace

bool IsSupportedPlatform(platform::DialogHost& dialogs) {
    OSVERSIONINFOA version;
    platform::GetWindowsVersion(&version);
    if (platform::IsWindows95Family(version)) {
        return true;
    }
    dialogs.Show(IDD_PLATFORM_ERROR);
    return false;
}

bool StartInstall(CWnd* menu_screen, std::string& install_folder,
                  game_registry::InstallState install_state, platform::DialogHost& dialogs,
                  const ShowProgress& show_progress) {
    if (!IsSupportedPlatform(dialogs)) {
        return false;
    }
    platform::ResourceBytes payload;
    if (!FindPayload(&payload)) {
        dialogs.ShowMessage(IDD_INSTALL_ERROR, kNoPayloadMessage);
        return false;
    }
    bool created = false;
    if (install_state != game_registry::InstallState::kInstalled) {
        std::string path = install::kProposedFolder;
        if (!install::ChooseInstallFolder(&path, &dialogs, &created)) {
            return false;
        }
        install_folder = path;
    }
    ExtractionRequest request;
    request.payload = payload.data;
    request.payload_size = payload.size;
    request.install_folder = install_folder;
    request.progress = show_progress(static_cast<uint32_t>(install::kInstallSize));
    request.dialogs = &dialogs;
    request.listener = &g_notify;
    request.rollback = install::RollbackOfFailedCopy(install_folder, created);
    g_notify.window = menu_screen->m_hWnd;
    // A copy that cannot start still reports, so the menu screen is never left locked.
    if (!StartExtraction(std::move(request))) {
        install::UndoUnstartedCopy(install_folder, created);
        const ExtractionFailure failure = {
            ExtractionFailureKind::kError, "",
            "the copy could not be started: the system gave no thread, memory or "
            "synchronisation object for it"};
        dialogs.ShowMessage(IDD_INSTALL_ERROR, CopyFailureMessage(install_folder, failure));
        g_notify.OnExtractionDone(0);
    }
    return true;
}
