#include "platform/dialogs.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<DialogHost*> g_host{nullptr};
}

int DialogHost::BrowseForFolder(const std::string&, const std::string&, FolderChoice*) {
    return kDialogCancel;
}

int DialogHost::AskDiskSpace(uint64_t, uint64_t, bool) {
    return kDiskSpaceExit;
}

void DialogHost::ShowMessage(int resource_id, const std::string&) {
    Show(resource_id);
}

DialogHost* SetDialogHost(DialogHost* host) {
    return g_host.exchange(host);
}

bool HasDialogHost() {
    return g_host.load() != nullptr;
}

DialogHost* DialogHostInForce() {
    return g_host.load();
}

int ShowDialog(int resource_id) {
    DialogHost* host = g_host.load();
    return host != nullptr ? host->Show(resource_id) : kDialogCancel;
}

int BrowseForFolder(const std::string& initial_path, const std::string& subfolder,
                    FolderChoice* choice) {
    DialogHost* host = g_host.load();
    return host != nullptr ? host->BrowseForFolder(initial_path, subfolder, choice) : kDialogCancel;
}

int AskDiskSpace(uint64_t required, uint64_t available, bool query_failed) {
    DialogHost* host = g_host.load();
    return host != nullptr ? host->AskDiskSpace(required, available, query_failed) : kDiskSpaceExit;
}

void ShowMessage(int resource_id, const std::string& text) {
    if (DialogHost* host = g_host.load()) {
        host->ShowMessage(resource_id, text);
    }
}

}  // namespace platform
