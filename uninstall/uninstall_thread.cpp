#include "uninstall/uninstall_thread.h"

#include "platform/thread.h"
#include "uninstall/install_folder_removal.h"

namespace {

platform::Thread g_thread;  // of the last removal started; joined by the next start

struct UninstallRun {
    std::string folder;             // a copy: the menu screen's install folder changes meanwhile
    ProgressIndicator* progress;    // not owned
    platform::DialogHost* dialogs;  // not owned
    UninstallListener* listener;    // not owned
};

void UninstallThreadProc(void* arg) {
    UninstallRun* run = static_cast<UninstallRun*>(arg);
    const bool nothing_left = RemoveInstallFolder(run->folder, run->progress, run->dialogs);
    UninstallListener* listener = run->listener;
    delete run;
    listener->OnUninstallDone(nothing_left);
}

}  // namespace

bool StartUninstallThread(const std::string& install_folder, ProgressIndicator* progress,
                          platform::DialogHost* dialogs, UninstallListener* listener) {
    AwaitUninstallEnd();  // the last removal has told its listener; its thread is about to end
    auto* run = new UninstallRun{install_folder, progress, dialogs, listener};
    if (!g_thread.Start(&UninstallThreadProc, run)) {
        delete run;
        return false;
    }
    return true;
}

void AwaitUninstallEnd() {
    g_thread.Join();
}
