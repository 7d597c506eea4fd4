#include "uninstall/uninstall_thread.h"

#include "platform/thread.h"
#include "uninstall/install_folder_removal.h"

namespace {

struct UninstallRun {
    std::string folder;           // a copy: the menu screen's install folder changes meanwhile
    UninstallListener* listener;  // not owned
};

void UninstallThreadProc(void* arg) {
    UninstallRun* run = static_cast<UninstallRun*>(arg);
    const bool nothing_left = RemoveInstallFolder(run->folder);
    UninstallListener* listener = run->listener;
    delete run;
    listener->OnUninstallDone(nothing_left);
}

}  // namespace

bool StartUninstallThread(const std::string& install_folder, UninstallListener* listener) {
    auto* run = new UninstallRun{install_folder, listener};
    platform::Thread thread;
    if (!thread.Start(&UninstallThreadProc, run)) {
        delete run;
        return false;
    }
    thread.Detach();
    return true;
}
